#include "transfer/FileValueCodec.h"

#include "base/Text.h"
#include "network/CardTcpip.h"
#include "network/IpAddressText.h"
#include "network/Location.h"
#include "network/TcpipSettings.h"
#include "store/ProxyValues.h"
#include "transfer/FileEncoding.h"

#include <nlohmann/json.hpp>

#include <cstring>

namespace flipset {
namespace FileValueCodec {

namespace {

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

// The entries of a REG_MULTI_SZ value laid out exactly as the program
// writes one: at least one entry, none empty, each with its 0 byte, and one
// more 0 byte at the end.
bool SplitTextList(const RegistryValue& value, StringList& entries)
{
    entries.clear();
    const ByteArray& data = value.data;
    if (value.type != static_cast<uint32_t>(RegistryValueType::MultiString) || data.size() < 2 ||
        data[data.size() - 1] != 0 || data[data.size() - 2] != 0)
        return false;
    std::string entry;
    for (size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] != 0) {
            entry += static_cast<char>(data[i]);
            continue;
        }
        if (entry.empty())
            return false;
        entries.push_back(entry);
        entry.clear();
    }
    return true;
}

// The entry as a card's list stores it ("a.b.c.d/m.m.m.m" or a server's
// canonical text); false with the reason when it is not one.
bool CardListEntry(Kind kind, const std::string& text, std::string& entry, std::string& reason)
{
    if (kind == Kind::AddressList) {
        Ipv4WithMask address;
        if (!ParseAddressWithMask(text, address)) {
            reason = "must be an address with its mask such as \"192.168.0.1/255.255.255.0\"";
            return false;
        }
        reason = AddressWithMaskProblem(address);
        entry = AddressWithMaskText(address);
    } else {
        reason = DnsServerProblem(text);
        if (reason.empty())
            entry = FormatIpAddress(*ParseIpAddress(text));
    }
    return reason.empty();
}

// The location value whose text rules a kind follows.
const char* LocationValueOf(Kind kind)
{
    switch (kind) {
    case Kind::LocationGateway:
        return ConfigurationValue::kLocationGateway;
    case Kind::LocationSubnet:
        return ConfigurationValue::kLocationSubnet;
    case Kind::LocationAdapter:
        return ConfigurationValue::kLocationAdapter;
    default:
        return ConfigurationValue::kLocationWifi;
    }
}

ProxyText ProxyTextOf(Kind kind)
{
    switch (kind) {
    case Kind::ProxyBypass:
        return ProxyText::Bypass;
    case Kind::ProxyScript:
        return ProxyText::Script;
    default:
        return ProxyText::Server;
    }
}

}  // namespace

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

bool BytesOfHex(const std::string& hex, ByteArray& bytes)
{
    bytes.clear();
    if (hex.size() % 2 != 0)
        return false;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigitValue(hex[i]);
        const int low = HexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return true;
}

template <class J>
bool FieldEncoder::Encode(Kind kind, const J& field, RegistryValue& value,
                          std::string& reason) const
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
        value = RegistryValue::Dword(field.template get<bool>() ? 1 : 0);
        return true;
    case Kind::Volume:
        if (!field.is_number_unsigned() || field.template get<uint64_t>() > 65535) {
            reason = "must be a whole number from 0 to 65535";
            return false;
        }
        value = RegistryValue::Dword(static_cast<uint32_t>(field.template get<uint64_t>()));
        return true;
    case Kind::Position:
        for (uint32_t i = 0; i < 3; ++i) {
            if (field.is_string() &&
                field.template get_ref<const std::string&>() == kPositionNames[i]) {
                value = RegistryValue::Dword(i);
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
        value = RegistryValue::Dword(address);
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
    case Kind::AddressList:
    case Kind::ServerList:
        return EncodeAddressList(kind, field, value, reason);
    case Kind::LocationMode:
        for (uint32_t i = 0; i < 3; ++i) {
            if (field.is_string() &&
                field.template get_ref<const std::string&>() == kLocationModeNames[i]) {
                value = RegistryValue::Dword(i);
                return true;
            }
        }
        reason = "must be \"off\", \"askFirst\" or \"switch\"";
        return false;
    case Kind::LocationGateway:
    case Kind::LocationSubnet:
    case Kind::LocationAdapter:
    case Kind::LocationWifi: {
        std::string text;
        if (!AnsiText(field, kLongestText, text, reason))
            return false;
        reason = LocationTextProblem(LocationValueOf(kind), text);
        if (!reason.empty())
            return false;
        value = {kTypeString, TextBytes(text, 1)};
        return true;
    }
    case Kind::ProxyServer:
    case Kind::ProxyBypass:
    case Kind::ProxyScript: {
        std::string text;
        if (!AnsiText(field, kLongestText, text, reason))
            return false;
        reason = ProxyTextProblem(ProxyTextOf(kind), text);
        if (!reason.empty())
            return false;
        value = {kTypeString, TextBytes(text, 1)};
        return true;
    }
    }
    return false;
}

template <class J>
bool FieldEncoder::AnsiText(const J& field, size_t limit, std::string& text,
                            std::string& reason) const
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

template <class J>
bool FieldEncoder::EncodeList(Kind kind, const J& field, RegistryValue& value,
                              std::string& reason) const
{
    if (!field.is_array()) {
        reason = kind == Kind::RunList ? "must be a list of programs" : "must be a list of texts";
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
    value = {kTypeBinary, CRegistry::PackCodedList(entries)};
    if (value.data.size() > kLargestCodedList) {
        reason = "takes " + std::to_string(value.data.size()) + " bytes coded; at most " +
                 std::to_string(kLargestCodedList) + " fit";
        return false;
    }
    return true;
}

template <class J>
bool FieldEncoder::EncodeAddressList(Kind kind, const J& field, RegistryValue& value,
                                     std::string& reason) const
{
    if (!field.is_array() || field.empty()) {
        reason = "must be a list of at least one address; leave it out for none";
        return false;
    }
    if (kind == Kind::ServerList && field.size() > kMaxDnsServers) {
        reason = "holds " + std::to_string(field.size()) + " servers; at most " +
                 std::to_string(kMaxDnsServers) + " fit";
        return false;
    }
    StringList entries;
    for (size_t i = 0; i < field.size(); ++i) {
        std::string entry;
        std::string why;
        if (!field[i].is_string()) {
            why = "must be a text";
        } else {
            CardListEntry(kind, field[i].template get_ref<const std::string&>(), entry, why);
        }
        if (!why.empty()) {
            reason = "entry " + std::to_string(i + 1) + ": " + why;
            return false;
        }
        entries.push_back(std::move(entry));
    }
    value = RegistryValue::MultiString(entries);
    return true;
}

template <class J>
bool FieldEncoder::ListEntry(const J& field, std::string& entry, std::string& reason) const
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
bool FieldEncoder::RunEntry(const J& field, std::string& entry, std::string& reason) const
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
            reason = "unknown field \"" + DocumentTextForMessage(item.key(), codePage_) + "\"";
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
    case Kind::ProxyServer:
    case Kind::ProxyBypass:
    case Kind::ProxyScript:
    case Kind::LocationGateway:
    case Kind::LocationSubnet:
    case Kind::LocationAdapter:
    case Kind::LocationWifi:
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
        if (!value.AsDword(number) || number > 1)
            return false;
        field = number == 1;
        break;
    case Kind::Volume:
        if (!value.AsDword(number))
            return false;
        field = number;
        break;
    case Kind::Position:
        if (!value.AsDword(number) || number > 2)
            return false;
        field = kPositionNames[number];
        break;
    case Kind::Address:
        if (!value.AsDword(number))
            return false;
        field = DottedAddress(number);
        break;
    case Kind::LocationMode:
        if (!value.AsDword(number) || number > 2)
            return false;
        field = kLocationModeNames[number];
        break;
    case Kind::AddressList:
    case Kind::ServerList: {
        // Only entries that an import would store the same way.
        StringList entries;
        if (!SplitTextList(value, entries) ||
            (kind == Kind::ServerList && entries.size() > kMaxDnsServers))
            return false;
        field = OrderedJson::array();
        for (const std::string& text : entries) {
            std::string entry;
            std::string reason;
            if (!CardListEntry(kind, text, entry, reason) || entry != text)
                return false;
            field.push_back(text);
        }
        break;
    }
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
        for (const std::string& entry : CRegistry::UnpackCodedList(value.data)) {
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

template bool FieldEncoder::Encode(Kind, const Json&, RegistryValue&, std::string&) const;
template bool FieldEncoder::Encode(Kind, const OrderedJson&, RegistryValue&, std::string&) const;
template bool FieldEncoder::AnsiText(const Json&, size_t, std::string&, std::string&) const;

}  // namespace FileValueCodec

std::string SnapshotName(const ConfigurationSnapshot& snapshot)
{
    const RegistryValue* value = FindValue(snapshot.values, ConfigurationValue::kName);
    // Read as the store reads it: up to the first 0 byte, within the buffer.
    if (!value || value->data.size() > CRegistry::kStringBufferSize)
        return std::string();
    const char* text = reinterpret_cast<const char*>(value->data.data());
    return Trim(std::string(text, strnlen(text, value->data.size())));
}

}  // namespace flipset
