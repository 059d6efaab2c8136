// IPv4 and IPv6 addresses as text: dotted IPv4 ("192.168.0.1") and IPv6 in
// its usual forms ("fe80::1", "2001:db8:0:0:0:0:0:1", "::ffff:10.0.0.1").
// Used wherever a card's addresses and name servers are typed, stored as
// text or compared.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace flipset {

// An IPv4 or IPv6 address in network byte order.
struct IpAddress {
    bool v6 = false;
    std::array<uint8_t, 16> bytes{};  // IPv4 uses the first 4
};

bool operator==(const IpAddress& a, const IpAddress& b);
bool operator!=(const IpAddress& a, const IpAddress& b);

// Dotted IPv4 (four decimal numbers 0 to 255, no leading zeros, which some
// readers take for octal) or IPv6 text (hexadecimal groups, at most one "::",
// an optional dotted IPv4 tail); nothing else: no zone, no brackets, no
// prefix length, no white space.
std::optional<IpAddress> ParseIpAddress(std::string_view text);

// Dotted IPv4, or IPv6 in its canonical text: lower case, no leading zeros,
// the longest run of two or more zero groups (the first of equal runs) as
// "::", and an IPv4-mapped address with its dotted IPv4 tail.
std::string FormatIpAddress(const IpAddress& address);

// The IPv4 address stored as one number with its first octet most
// significant, as a card's settings hold it, and back.
IpAddress Ipv4Address(uint32_t number);
uint32_t Ipv4Number(const IpAddress& address);

// Dotted IPv4 text only, as that number.
std::optional<uint32_t> ParseIpv4Number(std::string_view text);

}  // namespace flipset
