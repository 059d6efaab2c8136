#include "transfer/ConfigurationFile.h"
#include "transfer/FileEncoding.h"
#include "transfer/FileValueCodec.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace flipset {

namespace {

using namespace FileValueCodec;

class DocumentWriter {
public:
    explicit DocumentWriter(const CodePageConverter& codePage)
        : codePage_(codePage), encoder_(codePage)
    {
    }

    bool Configuration(const ConfigurationSnapshot& snapshot, OrderedJson& object,
                       std::string& fault)
    {
        object = OrderedJson::object();
        std::vector<const NamedValue*> carried;
        std::vector<bool> used(snapshot.values.size(), false);
        OrderedJson options = OrderedJson::object();
        Readable(snapshot.values, kOptionFields, options, used);
        const size_t nameIndex = 0;
        for (size_t i = 0; i < std::size(kConfigurationFields); ++i) {
            Readable(snapshot.values, &kConfigurationFields[i], &kConfigurationFields[i] + 1,
                     object, used);
            if (i == nameIndex && !options.empty())
                object["options"] = options;
        }
        OrderedJson location = OrderedJson::object();
        Readable(snapshot.values, kLocationFields, location, used);
        if (!location.empty())
            object["location"] = std::move(location);
        if (!snapshot.cards.empty()) {
            OrderedJson cards = OrderedJson::array();
            for (const CardSnapshot& card : snapshot.cards) {
                OrderedJson cardObject;
                if (!Card(card, cardObject, fault))
                    return false;
                cards.push_back(std::move(cardObject));
            }
            object["cards"] = std::move(cards);
        }
        return Carried(snapshot.values, used, object, fault);
    }

private:
    template <size_t N>
    void Readable(const std::vector<NamedValue>& values, const Field (&fields)[N],
                  OrderedJson& object, std::vector<bool>& used)
    {
        Readable(values, fields, fields + N, object, used);
    }

    // Writes the fields of the values that are stored exactly as the
    // program stores them, and marks those values as used.
    void Readable(const std::vector<NamedValue>& values, const Field* begin, const Field* end,
                  OrderedJson& object, std::vector<bool>& used)
    {
        for (const Field* field = begin; field != end; ++field) {
            for (size_t i = 0; i < values.size(); ++i) {
                // Spelled otherwise, the value is carried so that its name
                // comes back as it was.
                if (used[i] || values[i].name != field->valueName)
                    continue;
                OrderedJson json;
                RegistryValue again;
                std::string reason;
                if (DecodeField(field->kind, values[i].value, codePage_, json) &&
                    encoder_.Encode(field->kind, json, again, reason) && again == values[i].value) {
                    object[field->fieldName] = std::move(json);
                    used[i] = true;
                }
            }
        }
    }

    bool Card(const CardSnapshot& card, OrderedJson& object, std::string& fault)
    {
        object = OrderedJson::object();
        std::string description;
        std::string number;
        if (!codePage_.ToUtf8(card.description, description) ||
            !codePage_.ToUtf8(card.cardNumber, number)) {
            fault = "the description of card " + QuoteBytes(card.cardNumber) +
                    " is not valid in this machine's code page";
            return false;
        }
        object["description"] = description;
        object["cardNumber"] = number;
        std::vector<bool> used(card.values.size(), false);
        Readable(card.values, kCardFields, object, used);
        return Carried(card.values, used, object, fault);
    }

    bool Carried(const std::vector<NamedValue>& values, const std::vector<bool>& used,
                 OrderedJson& object, std::string& fault)
    {
        OrderedJson carried = OrderedJson::array();
        for (size_t i = 0; i < values.size(); ++i) {
            if (used[i])
                continue;
            std::string name;
            if (!codePage_.ToUtf8(values[i].name, name)) {
                fault = "the value name \"" + QuoteBytes(values[i].name) +
                        "\" is not valid in this machine's code page";
                return false;
            }
            OrderedJson entry = OrderedJson::object();
            entry["name"] = name;
            entry["type"] = values[i].value.type;
            entry["data"] = HexOf(values[i].value.data);
            carried.push_back(std::move(entry));
        }
        if (!carried.empty())
            object["otherValues"] = std::move(carried);
        return true;
    }

    const CodePageConverter& codePage_;
    FieldEncoder encoder_;
};

}  // namespace

bool WriteConfigurationFile(const std::vector<ConfigurationSnapshot>& configurations,
                            const CodePageConverter& codePage, std::string& document,
                            std::string& fault)
{
    OrderedJson root = OrderedJson::object();
    root["format"] = kConfigurationFileFormat;
    root["version"] = kConfigurationFileVersion;
    root["configurations"] = OrderedJson::array();
    DocumentWriter writer(codePage);
    for (const ConfigurationSnapshot& snapshot : configurations) {
        OrderedJson object;
        if (!writer.Configuration(snapshot, object, fault)) {
            fault = "configuration \"" + SnapshotName(snapshot) + "\": " + fault;
            return false;
        }
        root["configurations"].push_back(std::move(object));
    }
    document = root.dump(2) + "\n";
    return true;
}

}  // namespace flipset
