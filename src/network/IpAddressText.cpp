#include "network/IpAddressText.h"

#include "base/Text.h"

#include <cstddef>

namespace flipset {

bool operator==(const IpAddress& a, const IpAddress& b)
{
    return a.v6 == b.v6 && a.bytes == b.bytes;
}

bool operator!=(const IpAddress& a, const IpAddress& b)
{
    return !(a == b);
}

namespace {

constexpr size_t kIpv4Bytes = 4;
constexpr size_t kIpv6Groups = 8;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Four dotted decimal octets, each 0 to 255 without leading zeros.
bool ParseDottedOctets(std::string_view text, uint8_t* octets)
{
    size_t position = 0;
    for (size_t i = 0; i < kIpv4Bytes; ++i) {
        if (i > 0) {
            if (position >= text.size() || text[position] != '.')
                return false;
            ++position;
        }
        const size_t start = position;
        unsigned value = 0;
        while (position < text.size() && IsDigit(text[position]) && position - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[position] - '0');
            ++position;
        }
        const size_t digits = position - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0'))
            return false;
        octets[i] = static_cast<uint8_t>(value);
    }
    return position == text.size();
}

// Groups of one to four hexadecimal digits separated by ":", as many as
// given, each into two bytes; false for anything else. An empty text is no
// groups.
bool ParseGroups(std::string_view text, std::array<uint16_t, kIpv6Groups>& groups, size_t& count)
{
    count = 0;
    if (text.empty())
        return true;
    size_t position = 0;
    for (;;) {
        if (count == kIpv6Groups)
            return false;
        const size_t start = position;
        unsigned value = 0;
        while (position < text.size() && text[position] != ':') {
            const int digit = HexDigitValue(text[position]);
            if (digit < 0 || position - start == 4)
                return false;
            value = value * 16 + static_cast<unsigned>(digit);
            ++position;
        }
        if (position == start)
            return false;
        groups[count++] = static_cast<uint16_t>(value);
        if (position == text.size())
            return true;
        ++position;  // the ":"
    }
}

std::optional<IpAddress> ParseIpv6(std::string_view text)
{
    // A dotted IPv4 tail stands for the last two groups.
    uint8_t tail[kIpv4Bytes] = {};
    bool hasTail = false;
    const size_t lastColon = text.rfind(':');
    if (lastColon == std::string_view::npos)
        return std::nullopt;
    if (text.find('.', lastColon) != std::string_view::npos) {
        if (!ParseDottedOctets(text.substr(lastColon + 1), tail))
            return std::nullopt;
        hasTail = true;
        // Keep "::" whole when the tail follows it directly ("::1.2.3.4").
        const bool afterDoubleColon = lastColon > 0 && text[lastColon - 1] == ':';
        text = text.substr(0, afterDoubleColon ? lastColon + 1 : lastColon);
    }
    const size_t groupsInTail = hasTail ? 2 : 0;
    std::array<uint16_t, kIpv6Groups> head{};
    std::array<uint16_t, kIpv6Groups> rest{};
    size_t headCount = 0;
    size_t restCount = 0;
    const size_t gap = text.find("::");
    if (gap == std::string_view::npos) {
        if (!ParseGroups(text, head, headCount) || headCount + groupsInTail != kIpv6Groups)
            return std::nullopt;
    } else {
        if (text.find("::", gap + 1) != std::string_view::npos)
            return std::nullopt;
        // "::" stands for at least one zero group.
        if (!ParseGroups(text.substr(0, gap), head, headCount) ||
            !ParseGroups(text.substr(gap + 2), rest, restCount) ||
            headCount + restCount + groupsInTail >= kIpv6Groups)
            return std::nullopt;
    }
    IpAddress address;
    address.v6 = true;
    for (size_t i = 0; i < headCount; ++i) {
        address.bytes[2 * i] = static_cast<uint8_t>(head[i] >> 8);
        address.bytes[2 * i + 1] = static_cast<uint8_t>(head[i]);
    }
    const size_t restStart = kIpv6Groups - groupsInTail - restCount;
    for (size_t i = 0; i < restCount; ++i) {
        address.bytes[2 * (restStart + i)] = static_cast<uint8_t>(rest[i] >> 8);
        address.bytes[2 * (restStart + i) + 1] = static_cast<uint8_t>(rest[i]);
    }
    if (hasTail) {
        for (size_t i = 0; i < kIpv4Bytes; ++i)
            address.bytes[12 + i] = tail[i];
    }
    return address;
}

std::string DottedOctets(const uint8_t* octets)
{
    return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
           std::to_string(octets[2]) + "." + std::to_string(octets[3]);
}

std::string HexGroup(unsigned group)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    bool leading = true;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const unsigned digit = (group >> shift) & 0xF;
        if (leading && digit == 0 && shift > 0)
            continue;
        leading = false;
        text += kDigits[digit];
    }
    return text;
}

// ::ffff:a.b.c.d, which reads best with its IPv4 tail.
bool IsIpv4Mapped(const IpAddress& address)
{
    for (size_t i = 0; i < 10; ++i) {
        if (address.bytes[i] != 0)
            return false;
    }
    return address.bytes[10] == 0xFF && address.bytes[11] == 0xFF;
}

std::string FormatIpv6(const IpAddress& address)
{
    const bool mapped = IsIpv4Mapped(address);
    const size_t groupCount = mapped ? kIpv6Groups - 2 : kIpv6Groups;
    unsigned groups[kIpv6Groups] = {};
    for (size_t i = 0; i < kIpv6Groups; ++i)
        groups[i] = static_cast<unsigned>(address.bytes[2 * i]) << 8 | address.bytes[2 * i + 1];
    // The longest run of zero groups, the first of equal runs; a single
    // zero group stays written.
    size_t bestStart = 0;
    size_t bestLength = 0;
    for (size_t i = 0; i < groupCount;) {
        if (groups[i] != 0) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < groupCount && groups[end] == 0)
            ++end;
        if (end - i > bestLength) {
            bestStart = i;
            bestLength = end - i;
        }
        i = end;
    }
    if (bestLength < 2)
        bestLength = 0;
    std::string text;
    for (size_t i = 0; i < groupCount; ++i) {
        if (bestLength > 0 && i == bestStart) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':')
            text += ':';
        text += HexGroup(groups[i]);
    }
    if (mapped) {
        if (text.back() != ':')
            text += ':';
        text += DottedOctets(&address.bytes[12]);
    }
    return text;
}

}  // namespace

std::optional<IpAddress> ParseIpAddress(std::string_view text)
{
    if (text.find(':') != std::string_view::npos)
        return ParseIpv6(text);
    IpAddress address;
    if (!ParseDottedOctets(text, address.bytes.data()))
        return std::nullopt;
    return address;
}

std::string FormatIpAddress(const IpAddress& address)
{
    return address.v6 ? FormatIpv6(address) : DottedOctets(address.bytes.data());
}

IpAddress Ipv4Address(uint32_t number)
{
    IpAddress address;
    for (size_t i = 0; i < kIpv4Bytes; ++i)
        address.bytes[i] = static_cast<uint8_t>(number >> (24 - 8 * i));
    return address;
}

uint32_t Ipv4Number(const IpAddress& address)
{
    uint32_t number = 0;
    for (size_t i = 0; i < kIpv4Bytes; ++i)
        number = number << 8 | address.bytes[i];
    return number;
}

std::optional<uint32_t> ParseIpv4Number(std::string_view text)
{
    const std::optional<IpAddress> address = ParseIpAddress(text);
    if (!address || address->v6)
        return std::nullopt;
    return Ipv4Number(*address);
}

}  // namespace flipset
