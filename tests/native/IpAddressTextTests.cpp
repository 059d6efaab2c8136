#include "network/IpAddressText.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

TEST(IpAddressText, TextParsesAndComesBackCanonical)
{
    struct Case {
        const char* text;
        bool v6;
        const char* canonical;
    };
    const Case cases[] = {
        {"192.168.0.1", false, "192.168.0.1"},
        {"0.0.0.0", false, "0.0.0.0"},
        {"255.255.255.255", false, "255.255.255.255"},
        {"::", true, "::"},
        {"::1", true, "::1"},
        {"1::", true, "1::"},
        {"fe80::1", true, "fe80::1"},
        {"2001:DB8:0:0:0:0:0:1", true, "2001:db8::1"},  // lower case, the zero run folded
        {"2001:0db8:0000:0001:0000:0000:0000:0001", true, "2001:db8:0:1::1"},  // longest run
        {"2001:db8:0:0:1:0:0:1", true, "2001:db8::1:0:0:1"},     // the first of equal runs
        {"2001:db8:0:1:1:1:1:1", true, "2001:db8:0:1:1:1:1:1"},  // one zero group stays
        {"1:2:3:4:5:6:7::", true, "1:2:3:4:5:6:7:0"},            // "::" for a single group reads
        {"::ffff:10.0.0.1", true, "::ffff:10.0.0.1"},  // IPv4-mapped keeps its dotted tail
        {"::ffff:a00:1", true, "::ffff:10.0.0.1"},
        {"::10.0.0.1", true, "::a00:1"},  // only the mapped form is dotted
        {"64:ff9b::192.0.2.33", true, "64:ff9b::c000:221"},
        {"1:2:3:4:5:6:10.0.0.1", true, "1:2:3:4:5:6:a00:1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<IpAddress> address = ParseIpAddress(c.text);
        ASSERT_TRUE(address);
        EXPECT_EQ(address->v6, c.v6);
        EXPECT_EQ(FormatIpAddress(*address), c.canonical);
        EXPECT_EQ(ParseIpAddress(c.canonical), address) << "the canonical text reads the same";
    }
}

TEST(IpAddressText, AnythingElseIsNoAddress)
{
    const char* const texts[] = {
        "",
        " 10.0.0.1",
        "10.0.0.1 ",
        "10.0.0",
        "10.0.0.1.2",
        "10.0.0.256",
        "10.0.0.-1",
        "10..0.1",
        "010.0.0.1",  // a leading zero, octal to some readers
        "1000.0.0.1",
        "10.0.0.1/24",
        "a.b.c.d",
        "10.0.0.",
        ":",
        ":::",
        "1:::2",
        "1::2::3",
        ":1",
        "1:",
        "1:2:3:4:5:6:7",
        "1:2:3:4:5:6:7:8:9",
        "1:2:3:4:5:6:7:8::",
        "::1:2:3:4:5:6:7:8",
        "12345::",
        "fe80::1%3",
        "[::1]",
        "g::1",
        "1:2:3:4:5:6:7:10.0.0.1",
        "::10.0.0",
        "::10.0.0.1:1",
        ":10.0.0.1",
        "10.0.0.1::",
        "::ffff:010.0.0.1",
    };
    for (const char* text : texts)
        EXPECT_FALSE(ParseIpAddress(text)) << '"' << text << '"';
}

TEST(IpAddressText, AnIpv4AddressIsTheNumberWithItsFirstOctetMostSignificant)
{
    EXPECT_EQ(ParseIpv4Number("192.168.0.1"), 0xC0A80001u);
    EXPECT_EQ(FormatIpAddress(Ipv4Address(0xC0A80001)), "192.168.0.1");
    EXPECT_EQ(Ipv4Number(Ipv4Address(0x80FF0102)), 0x80FF0102u);
    EXPECT_FALSE(ParseIpv4Number("::1")) << "an IPv6 address is no IPv4 number";
    EXPECT_NE(*ParseIpAddress("::"), *ParseIpAddress("0.0.0.0")) << "the families differ";
}

}  // namespace
}  // namespace flipset
