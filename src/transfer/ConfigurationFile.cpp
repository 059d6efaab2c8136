#include "transfer/ConfigurationFile.h"

#include "base/NameFilter.h"
#include "base/Text.h"
#include "coder/CodedList.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace flipset {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr uint32_t kTypeString = static_cast<uint32_t>(RegistryValueType::String);
constexpr uint32_t kTypeBinary = static_cast<uint32_t>(RegistryValueType::Binary);
constexpr uint32_t kTypeDword = static_cast<uint32_t>(RegistryValueType::Dword);

// How a known value is stored, and so how its field reads.
enum class Kind {
    Text,       // REG_SZ: the text and one 0 byte
    Marker,     // REG_SZ "true"
    Flag,       // REG_DWORD 0 or 1
    Volume,     // REG_DWORD 0 to 65535
    Position,   // REG_DWORD 0 to 2
    Address,    // REG_DWORD, first octet most significant
    FileText,   // REG_BINARY: the text and three 0 bytes
    CodedList,  // REG_BINARY: packed list of coded entries
    RunList,    // the same, each entry "program [parameters]" or "program"
};

struct Field {
    const char* valueName;
    const char* fieldName;
    Kind kind;
};

// In the order in which a configuration's fields are written.
const Field kConfigurationFields[] = {
    {ConfigurationValue::kName, "name", Kind::Text},
    {ConfigurationValue::kHostfile, "hosts", Kind::FileText},
    {ConfigurationValue::kLMHostfile, "lmhosts", Kind::FileText},
    {ConfigurationValue::kWallpaper, "wallpaper", Kind::Text},
    {ConfigurationValue::kWallpaperPosition, "wallpaperPosition", Kind::Position},
    {ConfigurationValue::kVolume, "volume", Kind::Volume},
    {ConfigurationValue::kDefaultPrinter, "printer", Kind::Text},
    {ConfigurationValue::kStartPage, "startPage", Kind::Text},
    {ConfigurationValue::kRun, "programs", Kind::RunList},
    {ConfigurationValue::kServicesStop, "servicesStop", Kind::CodedList},
    {ConfigurationValue::kServicesStart, "servicesStart", Kind::CodedList},
};

const Field kOptionFields[] = {
    {RunOptionValueName(RunOption::Files), "files", Kind::Flag},
    {RunOptionValueName(RunOption::Network), "network", Kind::Flag},
    {RunOptionValueName(RunOption::Desktop), "desktop", Kind::Flag},
    {RunOptionValueName(RunOption::StartExternals), "programs", Kind::Flag},
    {RunOptionValueName(RunOption::Services), "services", Kind::Flag},
};

const Field kCardFields[] = {
    {CardValue::kNic, "marked", Kind::Marker},
    {CardValue::kDisabled, "disabled", Kind::Flag},
    {CardValue::kDhcp, "dhcp", Kind::Flag},
    {CardValue::kIp, "address", Kind::Address},
    {CardValue::kNetmask, "netmask", Kind::Address},
    {CardValue::kGateway, "gateway", Kind::Address},
    {CardValue::kDns1, "dns", Kind::Address},
    {CardValue::kDomain, "domain", Kind::Text},
};

const char* const kPositionNames[] = {"tile", "grow", "center"};

// ---------------------------------------------------------------- helpers

RegistryValue DwordValue(uint32_t number)
{
    return {kTypeDword,
            {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
             static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)}};
}

bool ReadDwordValue(const RegistryValue& value, uint32_t& number)
{
    if (value.type != kTypeDword || value.data.size() != 4)
        return false;
    number = static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
             static_cast<uint32_t>(value.data[2]) << 16 |
             static_cast<uint32_t>(value.data[3]) << 24;
    return true;
}

std::string BytesText(const ByteArray& bytes, size_t count)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), count);
}

ByteArray TextBytes(const std::string& text, size_t zeros)
{
    ByteArray bytes(text.begin(), text.end());
    bytes.insert(bytes.end(), zeros, 0);
    return bytes;
}

std::string HexOf(const ByteArray& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool BytesOfHex(const std::string& hex, ByteArray& bytes)
{
    bytes.clear();
    if (hex.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return true;
}

// "a.b.c.d", each a decimal number from 0 to 255 of at most three digits.
bool ParseDottedAddress(const std::string& text, uint32_t& address)
{
    address = 0;
    size_t position = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (position >= text.size() || text[position] != '.')
                return false;
            ++position;
        }
        size_t digits = 0;
        uint32_t number = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' &&
               digits < 3) {
            number = number * 10 + static_cast<uint32_t>(text[position] - '0');
            ++position;
            ++digits;
        }
        if (digits == 0 || number > 255)
            return false;
        address = address << 8 | number;
    }
    return position == text.size();
}

struct RunEntryFields {
    std::string program;
    bool hasParameters = false;
    std::string parameters;

    bool operator==(const RunEntryFields& other) const
    {
        return program == other.program && hasParameters == other.hasParameters &&
               parameters == other.parameters;
    }
};

// The entry as the run list editor writes it: "program [parameters]", or
// the program alone.
std::string JoinRunEntry(const RunEntryFields& fields)
{
    if (!fields.hasParameters)
        return fields.program;
    return fields.program + " [" + fields.parameters + "]";
}

// The inverse of JoinRunEntry where there is one; an entry that it cannot
// give back is refused by the comparison that follows every split.
RunEntryFields SplitRunEntryFields(const std::string& entry)
{
    RunEntryFields fields;
    const size_t open = entry.find('[');
    if (open != std::string::npos && open > 0 && entry[open - 1] == ' ' && entry.back() == ']') {
        fields.program = entry.substr(0, open - 1);
        fields.hasParameters = true;
        fields.parameters = entry.substr(open + 1, entry.size() - open - 2);
        return fields;
    }
    fields.program = entry;
    return fields;
}

StringList UnpackCodedList(const ByteArray& bytes)
{
    StringList entries;
    CRegistry::UnpackStringList(bytes, entries);
    return DecodeListEntries(entries);
}

ByteArray PackCodedList(const StringList& entries)
{
    ByteArray bytes;
    CRegistry::PackStringList(CodeListEntries(entries), bytes);
    return bytes;
}

// ---------------------------------------------------------------- encoding

// Turns a field of the document into the value it stands for; false with
// the reason when the field is not acceptable.
class FieldEncoder {
public:
    explicit FieldEncoder(const CodePageConverter& codePage) : codePage_(codePage) {}

    template <class J>
    bool Encode(Kind kind, const J& field, RegistryValue& value, std::string& reason) const
    {
        switch (kind) {
        case Kind::Text: {
            std::string text;
            if (!AnsiText(field, kLongestText, text, reason))
                return false;
            value = {kTypeString, TextBytes(text, 1)};
            return true;
        }
        case Kind::Marker:
            if (!field.is_boolean() || !field.template get<bool>()) {
                reason = "must be true";
                return false;
            }
            value = {kTypeString, TextBytes(CardValue::kNicMarker, 1)};
            return true;
        case Kind::Flag:
            if (!field.is_boolean()) {
                reason = "must be true or false";
                return false;
            }
            value = DwordValue(field.template get<bool>() ? 1 : 0);
            return true;
        case Kind::Volume:
            if (!field.is_number_unsigned() || field.template get<uint64_t>() > 65535) {
                reason = "must be a whole number from 0 to 65535";
                return false;
            }
            value = DwordValue(static_cast<uint32_t>(field.template get<uint64_t>()));
            return true;
        case Kind::Position:
            for (uint32_t i = 0; i < 3; ++i) {
                if (field.is_string() &&
                    field.template get_ref<const std::string&>() == kPositionNames[i]) {
                    value = DwordValue(i);
                    return true;
                }
            }
            reason = "must be \"tile\", \"grow\" or \"center\"";
            return false;
        case Kind::Address: {
            uint32_t address = 0;
            if (!field.is_string() ||
                !ParseDottedAddress(field.template get_ref<const std::string&>(), address)) {
                reason = "must be an address such as \"192.168.0.1\"";
                return false;
            }
            value = DwordValue(address);
            return true;
        }
        case Kind::FileText: {
            std::string text;
            if (!AnsiText(field, kLongestFileText, text, reason))
                return false;
            value = {kTypeBinary, TextBytes(text, 3)};
            return true;
        }
        case Kind::CodedList:
        case Kind::RunList:
            return EncodeList(kind, field, value, reason);
        }
        return false;
    }

    // A text of the document in the code page: no 0 character, at most
    // limit bytes.
    template <class J>
    bool AnsiText(const J& field, size_t limit, std::string& text, std::string& reason) const
    {
        if (!field.is_string()) {
            reason = "must be a text";
            return false;
        }
        if (!codePage_.FromUtf8(field.template get_ref<const std::string&>(), text)) {
            reason = "holds a character that this machine's code page cannot represent";
            return false;
        }
        if (text.find('\0') != std::string::npos) {
            reason = "must not hold a 0 character";
            return false;
        }
        if (text.size() > limit) {
            reason = "is " + std::to_string(text.size()) + " bytes long; at most " +
                     std::to_string(limit) + " fit";
            return false;
        }
        return true;
    }

private:
    template <class J>
    bool EncodeList(Kind kind, const J& field, RegistryValue& value, std::string& reason) const
    {
        if (!field.is_array()) {
            reason =
                kind == Kind::RunList ? "must be a list of programs" : "must be a list of texts";
            return false;
        }
        StringList entries;
        for (size_t i = 0; i < field.size(); ++i) {
            std::string entry;
            std::string why;
            if (!(kind == Kind::RunList ? RunEntry(field[i], entry, why)
                                        : ListEntry(field[i], entry, why))) {
                reason = "entry " + std::to_string(i + 1) + ": " + why;
                return false;
            }
            entries.push_back(std::move(entry));
        }
        value = {kTypeBinary, PackCodedList(entries)};
        if (value.data.size() > kLargestCodedList) {
            reason = "takes " + std::to_string(value.data.size()) + " bytes coded; at most " +
                     std::to_string(kLargestCodedList) + " fit";
            return false;
        }
        return true;
    }

    template <class J>
    bool ListEntry(const J& field, std::string& entry, std::string& reason) const
    {
        if (!AnsiText(field, kLargestCodedList, entry, reason))
            return false;
        if (entry.empty()) {
            reason = "is empty";
            return false;
        }
        return true;
    }

    template <class J>
    bool RunEntry(const J& field, std::string& entry, std::string& reason) const
    {
        if (!field.is_object()) {
            reason = "must be an object with \"program\" and \"parameters\"";
            return false;
        }
        RunEntryFields fields;
        for (const auto& item : field.items()) {
            std::string* target = nullptr;
            if (item.key() == "program") {
                target = &fields.program;
            } else if (item.key() == "parameters") {
                target = &fields.parameters;
                fields.hasParameters = true;
            } else {
                reason = "unknown field \"" + item.key() + "\"";
                return false;
            }
            std::string why;
            if (!AnsiText(item.value(), kLargestCodedList, *target, why)) {
                reason = item.key() + " " + why;
                return false;
            }
        }
        if (fields.program.empty()) {
            reason = "program is missing or empty";
            return false;
        }
        entry = JoinRunEntry(fields);
        if (!(SplitRunEntryFields(entry) == fields)) {
            reason =
                "program and parameters cannot be told apart when stored: the program "
                "would have to end before its first \"[\"";
            return false;
        }
        return true;
    }

    const CodePageConverter& codePage_;
};

// ---------------------------------------------------------------- decoding

// The field for a value when the value is stored exactly as the program
// stores it; false when it has to be carried as it is.
bool DecodeField(Kind kind, const RegistryValue& value, const CodePageConverter& codePage,
                 OrderedJson& field)
{
    auto utf8 = [&codePage](const std::string& text, std::string& out) {
        return codePage.ToUtf8(text, out);
    };
    uint32_t number = 0;
    std::string text;
    switch (kind) {
    case Kind::Text:
    case Kind::Marker:
        if (value.type != kTypeString || value.data.empty())
            return false;
        if (kind == Kind::Marker) {
            field = BytesText(value.data, value.data.size() - 1) == CardValue::kNicMarker;
            break;
        }
        if (!utf8(BytesText(value.data, value.data.size() - 1), text))
            return false;
        field = text;
        break;
    case Kind::Flag:
        if (!ReadDwordValue(value, number) || number > 1)
            return false;
        field = number == 1;
        break;
    case Kind::Volume:
        if (!ReadDwordValue(value, number))
            return false;
        field = number;
        break;
    case Kind::Position:
        if (!ReadDwordValue(value, number) || number > 2)
            return false;
        field = kPositionNames[number];
        break;
    case Kind::Address:
        if (!ReadDwordValue(value, number))
            return false;
        field = DottedAddress(number);
        break;
    case Kind::FileText:
        if (value.type != kTypeBinary || value.data.size() < 3 ||
            !utf8(BytesText(value.data, value.data.size() - 3), text))
            return false;
        field = text;
        break;
    case Kind::CodedList:
    case Kind::RunList: {
        if (value.type != kTypeBinary)
            return false;
        field = OrderedJson::array();
        for (const std::string& entry : UnpackCodedList(value.data)) {
            if (kind == Kind::CodedList) {
                if (!utf8(entry, text))
                    return false;
                field.push_back(text);
                continue;
            }
            const RunEntryFields fields = SplitRunEntryFields(entry);
            OrderedJson program = OrderedJson::object();
            if (!utf8(fields.program, text))
                return false;
            program["program"] = text;
            if (fields.hasParameters) {
                if (!utf8(fields.parameters, text))
                    return false;
                program["parameters"] = text;
            }
            field.push_back(std::move(program));
        }
        break;
    }
    }
    return true;
}

// ---------------------------------------------------------------- writing

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
            fault = "the description of card " + card.cardNumber +
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
                fault = "the value name \"" + values[i].name +
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

// ---------------------------------------------------------------- reading

// The reason for a fault, found at the place named before it.
struct Fault {
    std::string place;
    std::string reason;
};

class DocumentReader {
public:
    DocumentReader(const CodePageConverter& codePage, std::string_view allowedNameCharacters)
        : codePage_(codePage), encoder_(codePage), allowed_(allowedNameCharacters)
    {
    }

    bool Document(const Json& document, std::vector<ConfigurationSnapshot>& configurations,
                  Fault& fault)
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
                return Fail(fault, "the document", "has an unknown field \"" + item.key() + "\"");
        }
        const auto list = document.find("configurations");
        if (list == document.end() || !list->is_array())
            return Fail(fault, "the document", "must have a list \"configurations\"");
        for (size_t i = 0; i < list->size(); ++i) {
            ConfigurationSnapshot snapshot;
            if (!Configuration((*list)[i], i, snapshot, fault))
                return false;
            configurations.push_back(std::move(snapshot));
        }
        return true;
    }

private:
    static bool Fail(Fault& fault, std::string place, std::string reason)
    {
        fault = {std::move(place), std::move(reason)};
        return false;
    }

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
            place = "configuration \"" + ansiName + "\"";
        for (const auto& item : object.items()) {
            const std::string& key = item.key();
            if (key == "options") {
                if (!item.value().is_object())
                    return Fail(fault, place + ", field \"options\"", "must be an object");
                if (!Fields(item.value(), kOptionFields, place + ", options", {}, snapshot.values,
                            fault))
                    return false;
            } else if (key == "cards") {
                if (!Cards(item.value(), place, snapshot.cards, fault))
                    return false;
            } else if (key != "otherValues" && !IsField(kConfigurationFields, key)) {
                return Fail(fault, place, "has an unknown field \"" + key + "\"");
            }
        }
        if (!Fields(object, kConfigurationFields, place, {"options", "cards", "otherValues"},
                    snapshot.values, fault) ||
            !Carried(object, place, snapshot.values, fault))
            return false;
        const std::string name = SnapshotName(snapshot);
        const NameCheck check = CheckName(name, allowed_);
        if (name.empty() || check.replace || !check.acceptable)
            return Fail(fault, place + ", field \"name\"",
                        name.empty() ? "the configuration has no name"
                                     : "the name holds characters that a name may not hold");
        for (const std::string& seen : names_) {
            if (EqualsNoCase(seen, name))
                return Fail(fault, place, "the name is used twice in the file");
        }
        names_.push_back(name);
        return true;
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
                return Fail(fault, place, "has an unknown field \"" + key + "\"");
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
                    return Fail(fault, entryPlace, "has an unknown field \"" + item.key() + "\"");
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
                return Fail(fault, entryPlace,
                            "the value \"" + name->get<std::string>() + "\" is given twice");
            values.push_back(std::move(named));
        }
        return true;
    }

    const CodePageConverter& codePage_;
    FieldEncoder encoder_;
    std::string_view allowed_;
    StringList names_;
};

// The line and column (from 1) of the byte at the offset.
std::string LineAndColumn(std::string_view document, size_t offset)
{
    offset = std::min(offset, document.size());
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        if (document[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

}  // namespace

std::string SnapshotName(const ConfigurationSnapshot& snapshot)
{
    const RegistryValue* value = FindValue(snapshot.values, ConfigurationValue::kName);
    // Read as the store reads it: up to the first 0 byte, within the buffer.
    if (!value || value->data.size() > CRegistry::kStringBufferSize)
        return std::string();
    const char* text = reinterpret_cast<const char*>(value->data.data());
    return Trim(std::string(text, strnlen(text, value->data.size())));
}

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

bool ReadConfigurationFile(std::string_view document, const CodePageConverter& codePage,
                           std::string_view allowedNameCharacters,
                           std::vector<ConfigurationSnapshot>& configurations, std::string& fault)
{
    configurations.clear();
    Json parsed;
    try {
        parsed = Json::parse(document.begin(), document.end());
    } catch (const Json::parse_error& error) {
        // The library's text reads "... at line L, column C: reason".
        std::string reason = error.what();
        const size_t column = reason.find("column ");
        const size_t colon = column == std::string::npos ? column : reason.find(": ", column);
        reason = colon == std::string::npos
                     ? "the text is not valid JSON"
                     : "the text is not valid JSON: " + reason.substr(colon + 2);
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
                "the text is not valid JSON: " + reason;
        return false;
    }
    DocumentReader reader(codePage, allowedNameCharacters);
    Fault problem;
    if (!reader.Document(parsed, configurations, problem)) {
        configurations.clear();
        fault = problem.place + ": " + problem.reason;
        return false;
    }
    return true;
}

}  // namespace flipset
