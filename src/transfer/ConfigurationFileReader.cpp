#include "transfer/ConfigurationFile.h"
#include "transfer/FileEncoding.h"
#include "transfer/FileValueCodec.h"

#include "base/NameFilter.h"
#include "base/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace flipset {

namespace {

using namespace FileValueCodec;

// The reason for a fault, found at the place named before it.
struct Fault {
    std::string place;
    std::string reason;
};

class DocumentReader {
public:
    explicit DocumentReader(const CodePageConverter& codePage)
        : codePage_(codePage), encoder_(codePage)
    {
    }

    // The document's own fields; the entries of its list are left out of
    // it and read one by one (Configuration).
    bool Document(const Json& document, Fault& fault) const
    {
        if (!document.is_object())
            return Fail(fault, "the document", "must be an object");
        const auto format = document.find("format");
        if (format == document.end() || !format->is_string() ||
            format->get_ref<const std::string&>() != kConfigurationFileFormat)
            return Fail(
                fault, "the document",
                std::string("is not a file of the format \"") + kConfigurationFileFormat + "\"");
        const auto version = document.find("version");
        if (version == document.end() || !version->is_number_unsigned() ||
            version->get<uint64_t>() != static_cast<uint64_t>(kConfigurationFileVersion))
            return Fail(fault, "the document",
                        "has a version that this program does not read (it reads version " +
                            std::to_string(kConfigurationFileVersion) + ")");
        for (const auto& item : document.items()) {
            if (item.key() != "format" && item.key() != "version" && item.key() != "configurations")
                return Fail(fault, "the document",
                            "has an unknown field \"" + ForMessage(item.key()) + "\"");
        }
        const auto list = document.find("configurations");
        if (list == document.end() || !list->is_array())
            return Fail(fault, "the document", "must have a list \"configurations\"");
        return true;
    }

    // A later list "configurations" replaces an earlier one, names and all.
    void ForgetNames() { names_.clear(); }

    // The entry of the list at the index (from 0).
    bool Configuration(const Json& object, size_t index, ConfigurationSnapshot& snapshot,
                       Fault& fault)
    {
        std::string place = "configuration " + std::to_string(index + 1);
        if (!object.is_object())
            return Fail(fault, place, "must be an object");
        // Named by its name where it has a readable one.
        const auto nameField = object.find("name");
        std::string ansiName;
        if (nameField != object.end() && nameField->is_string() &&
            codePage_.FromUtf8(nameField->get<std::string>(), ansiName))
            place = "configuration \"" + QuoteControlCharacters(ansiName) + "\"";
        for (const auto& item : object.items()) {
            const std::string& key = item.key();
            if (key == "options") {
                if (!item.value().is_object())
                    return Fail(fault, place + ", field \"options\"", "must be an object");
                if (!Fields(item.value(), kOptionFields, place + ", options", {}, snapshot.values,
                            fault))
                    return false;
            } else if (key == "location") {
                if (!item.value().is_object())
                    return Fail(fault, place + ", field \"location\"", "must be an object");
                if (!Fields(item.value(), kLocationFields, place + ", location", {},
                            snapshot.values, fault))
                    return false;
            } else if (key == "cards") {
                if (!Cards(item.value(), place, snapshot.cards, fault))
                    return false;
            } else if (key != "otherValues" && !IsField(kConfigurationFields, key)) {
                return Fail(fault, place, "has an unknown field \"" + ForMessage(key) + "\"");
            }
        }
        if (!Fields(object, kConfigurationFields, place,
                    {"options", "location", "cards", "otherValues"}, snapshot.values, fault) ||
            !Carried(object, place, snapshot.values, fault))
            return false;
        const std::string name = SnapshotName(snapshot);
        if (name.empty() || !IsStorableName(name))
            return Fail(fault, place + ", field \"name\"",
                        name.empty() ? "the configuration has no name"
                                     : "the name holds a control character");
        if (!names_.insert(FoldCase(name)).second)
            return Fail(fault, place, "the name is used twice in the file");
        return true;
    }

private:
    std::string ForMessage(const std::string& text) const
    {
        return DocumentTextForMessage(text, codePage_);
    }

    static bool Fail(Fault& fault, std::string place, std::string reason)
    {
        fault = {std::move(place), std::move(reason)};
        return false;
    }

    template <size_t N>
    static bool IsField(const Field (&fields)[N], const std::string& key)
    {
        return std::any_of(fields, fields + N,
                           [&key](const Field& field) { return key == field.fieldName; });
    }

    // Encodes every known field of the object; unknown keys are refused
    // unless they are handled elsewhere (others).
    template <size_t N>
    bool Fields(const Json& object, const Field (&fields)[N], const std::string& place,
                std::initializer_list<const char*> others, std::vector<NamedValue>& values,
                Fault& fault)
    {
        for (const auto& item : object.items()) {
            const std::string& key = item.key();
            if (std::any_of(others.begin(), others.end(),
                            [&key](const char* other) { return key == other; }))
                continue;
            const Field* field = std::find_if(
                fields, fields + N, [&key](const Field& f) { return key == f.fieldName; });
            if (field == fields + N)
                return Fail(fault, place, "has an unknown field \"" + ForMessage(key) + "\"");
            NamedValue named{field->valueName, {}};
            std::string reason;
            if (!encoder_.Encode(field->kind, item.value(), named.value, reason))
                return Fail(fault, place + ", field \"" + key + "\"", reason);
            values.push_back(std::move(named));
        }
        return true;
    }

    bool Cards(const Json& list, const std::string& place, std::vector<CardSnapshot>& cards,
               Fault& fault)
    {
        if (!list.is_array())
            return Fail(fault, place + ", field \"cards\"", "must be a list");
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string cardPlace = place + ", card " + std::to_string(i + 1);
            const Json& object = list[i];
            if (!object.is_object())
                return Fail(fault, cardPlace, "must be an object");
            CardSnapshot card;
            std::string reason;
            const auto description = object.find("description");
            if (description == object.end() ||
                !encoder_.AnsiText(*description, kLongestText, card.description, reason))
                return Fail(fault, cardPlace + ", field \"description\"",
                            description == object.end() ? "is missing" : reason);
            const auto number = object.find("cardNumber");
            if (number != object.end() &&
                !encoder_.AnsiText(*number, kLongestText, card.cardNumber, reason))
                return Fail(fault, cardPlace + ", field \"cardNumber\"", reason);
            if (!Fields(object, kCardFields, cardPlace,
                        {"description", "cardNumber", "otherValues"}, card.values, fault) ||
                !Carried(object, cardPlace, card.values, fault))
                return false;
            cards.push_back(std::move(card));
        }
        return true;
    }

    // The carried values, which may not repeat a value of the object.
    bool Carried(const Json& object, const std::string& place, std::vector<NamedValue>& values,
                 Fault& fault)
    {
        const auto list = object.find("otherValues");
        if (list == object.end())
            return true;
        const std::string listPlace = place + ", field \"otherValues\"";
        if (!list->is_array())
            return Fail(fault, listPlace, "must be a list");
        for (size_t i = 0; i < list->size(); ++i) {
            const std::string entryPlace = listPlace + ", entry " + std::to_string(i + 1);
            const Json& entry = (*list)[i];
            if (!entry.is_object())
                return Fail(fault, entryPlace, "must be an object");
            for (const auto& item : entry.items()) {
                if (item.key() != "name" && item.key() != "type" && item.key() != "data")
                    return Fail(fault, entryPlace,
                                "has an unknown field \"" + ForMessage(item.key()) + "\"");
            }
            NamedValue named;
            std::string reason;
            const auto name = entry.find("name");
            if (name == entry.end() || !encoder_.AnsiText(*name, kLongestText, named.name, reason))
                return Fail(fault, entryPlace + ", field \"name\"",
                            name == entry.end() ? "is missing" : reason);
            const auto type = entry.find("type");
            if (type == entry.end() || !type->is_number_unsigned() ||
                type->get<uint64_t>() > UINT32_MAX)
                return Fail(fault, entryPlace + ", field \"type\"",
                            "must be a value type, a whole number from 0 to 4294967295");
            named.value.type = static_cast<uint32_t>(type->get<uint64_t>());
            const auto data = entry.find("data");
            if (data == entry.end() || !data->is_string() ||
                !BytesOfHex(data->get_ref<const std::string&>(), named.value.data))
                return Fail(fault, entryPlace + ", field \"data\"",
                            "must be the value's bytes as pairs of hexadecimal digits");
            if (FindValue(values, named.name))
                return Fail(
                    fault, entryPlace,
                    "the value \"" + ForMessage(name->get<std::string>()) + "\" is given twice");
            values.push_back(std::move(named));
        }
        return true;
    }

    const CodePageConverter& codePage_;
    FieldEncoder encoder_;
    std::unordered_set<std::string> names_;  // folded, as names are compared
};

// The parser's events. The document is built as a tree by the library's own
// builder, but for the entries of its list "configurations": each of those
// gets a tree of its own, is read into its snapshot at once and dropped, so
// that a file of thousands of configurations is never held as one tree.
// Checking the document's own fields only at the end, and the entries in
// their order, keeps the faults as they were: the syntax anywhere first,
// then the document's fields, then the first entry at fault. A field
// given twice counts with its last value, as in one tree.
class DocumentEvents {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    DocumentEvents(DocumentReader& reader, Json& document,
                   std::vector<ConfigurationSnapshot>& configurations)
        : reader_(reader), document_(document), entry_(entryTree_),
          configurations_(configurations)
    {
    }

    // False, with the fault of the first entry at fault, when there is one.
    bool EntriesRead(Fault& fault) const
    {
        if (entryFault_)
            fault = *entryFault_;
        return !entryFault_;
    }

    bool null()
    {
        return Value([](Builder& builder) { return builder.null(); });
    }
    bool boolean(bool value)
    {
        return Value([value](Builder& builder) { return builder.boolean(value); });
    }
    bool number_integer(number_integer_t value)
    {
        return Value([value](Builder& builder) { return builder.number_integer(value); });
    }
    bool number_unsigned(number_unsigned_t value)
    {
        return Value([value](Builder& builder) { return builder.number_unsigned(value); });
    }
    bool number_float(number_float_t value, const string_t& text)
    {
        return Value([value, &text](Builder& builder) { return builder.number_float(value, text); });
    }
    bool string(string_t& value)
    {
        return Value([&value](Builder& builder) { return builder.string(value); });
    }
    bool binary(binary_t& value)
    {
        return Value([&value](Builder& builder) { return builder.binary(value); });
    }
    bool key(string_t& name)
    {
        if (depth_ == 1)
            member_ = name;
        return Target().key(name);
    }
    bool start_object(std::size_t size)
    {
        return Open([size](Builder& builder) { return builder.start_object(size); });
    }
    bool start_array(std::size_t size)
    {
        if (depth_ == 1 && member_ == "configurations")
            StartList();
        return Open([size](Builder& builder) { return builder.start_array(size); });
    }
    bool end_object()
    {
        return Close([](Builder& builder) { return builder.end_object(); });
    }
    bool end_array()
    {
        return Close([](Builder& builder) { return builder.end_array(); });
    }
    // As the library's own builder does, so that the caller sees the
    // library's exceptions, with their places.
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    using Builder = nlohmann::detail::json_sax_dom_parser<Json>;

    // Inside the list, below the document (1) and the list (2).
    bool InList() const { return inList_ && depth_ >= 2; }
    Builder& Target() { return InList() ? entry_ : document_; }

    template <class Event>
    bool Value(Event event)
    {
        const bool wholeEntry = InList() && depth_ == 2;
        if (!event(Target()))
            return false;
        if (wholeEntry)
            EndEntry();
        return true;
    }

    template <class Event>
    bool Open(Event event)
    {
        if (!event(Target()))
            return false;
        ++depth_;
        return true;
    }

    template <class Event>
    bool Close(Event event)
    {
        --depth_;
        if (depth_ == 1)
            inList_ = false;
        if (!event(Target()))
            return false;
        if (InList() && depth_ == 2)
            EndEntry();
        return true;
    }

    void StartList()
    {
        inList_ = true;
        configurations_.clear();
        entryFault_.reset();
        entries_ = 0;
        reader_.ForgetNames();
    }

    void EndEntry()
    {
        if (!entryFault_) {
            ConfigurationSnapshot snapshot;
            Fault fault;
            if (reader_.Configuration(entryTree_, entries_, snapshot, fault))
                configurations_.push_back(std::move(snapshot));
            else
                entryFault_ = std::move(fault);
        }
        ++entries_;
        entryTree_ = nullptr;
    }

    DocumentReader& reader_;
    Builder document_;
    Json entryTree_;
    Builder entry_;
    std::vector<ConfigurationSnapshot>& configurations_;
    std::optional<Fault> entryFault_;
    size_t depth_ = 0;  // containers open
    std::string member_;  // the document's field being read
    bool inList_ = false;
    size_t entries_ = 0;
};

}  // namespace

bool ReadConfigurationFile(std::string_view bytes, const CodePageConverter& codePage,
                           std::vector<ConfigurationSnapshot>& configurations, std::string& fault)
{
    configurations.clear();
    std::string converted;
    std::string_view document;
    if (!DecodeFileText(bytes, converted, document, fault))
        return false;
    DocumentReader reader(codePage);
    Json parsed;
    std::vector<ConfigurationSnapshot> read;
    DocumentEvents events(reader, parsed, read);
    try {
        Json::sax_parse(document.begin(), document.end(), &events);
    } catch (const Json::parse_error& error) {
        // The library's text reads "... at line L, column C: reason".
        std::string reason = error.what();
        const size_t column = reason.find("column ");
        const size_t colon = column == std::string::npos ? column : reason.find(": ", column);
        reason = colon == std::string::npos
                     ? "the text is not valid JSON"
                     : "the text is not valid JSON: " + QuoteBytes(reason.substr(colon + 2));
        fault = LineAndColumn(document, error.byte > 0 ? error.byte - 1 : 0) + ": " + reason;
        return false;
    } catch (const Json::exception& error) {
        // A number too large for any number type: the library names the
        // number but not where it stands, so it is looked up.
        std::string reason = error.what();
        const size_t text = reason.find("] ");
        reason = text == std::string::npos ? reason : reason.substr(text + 2);
        const size_t open = reason.find('\'');
        const size_t close = open == std::string::npos ? open : reason.find('\'', open + 1);
        const size_t at = close == std::string::npos
                              ? std::string::npos
                              : document.find(reason.substr(open + 1, close - open - 1));
        fault = (at == std::string::npos ? std::string() : LineAndColumn(document, at) + ": ") +
                "the text is not valid JSON: " + QuoteBytes(reason);
        return false;
    }
    Fault problem;
    if (!reader.Document(parsed, problem) || !events.EntriesRead(problem)) {
        fault = problem.place + ": " + problem.reason;
        return false;
    }
    configurations = std::move(read);
    return true;
}

}  // namespace flipset
