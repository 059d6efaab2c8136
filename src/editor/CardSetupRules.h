// The rules behind the two card dialogs, kept free of windows: which card a
// chosen list entry stands for, which card the selection list starts on,
// where a card's settings live in a configuration, which controls of the
// card setup are usable for its check states, and how its address and
// server lines become a card's lists.
#pragma once

#include "network/CardInventory.h"
#include "network/CardTcpip.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace flipset {

// The card settings key of a card in a configuration, below the
// configuration root: the configuration key with the card number as subkey.
std::string CardSettingsKeyPath(int configurationNumber, const std::string& cardNumber);

// The description to look for in the selection list when it opens on the
// card numbered initialCardNumber: that of the first card in list order
// whose number equals it ignoring case; none when no card has that number.
std::optional<std::string> InitialCardDescription(const std::vector<NetworkCard>& cards,
                                                  const std::string& initialCardNumber);

struct CardChoice {
    std::string number;
    std::string description;
};

// The card that a selection list entry stands for. The list shows the
// descriptions only, so the entry is matched by its text, ignoring case;
// when several cards share it, the last in card list order wins, its
// description taken as the entry shows it. With no match the choice keeps
// the initial card number and an empty description.
CardChoice ChooseCardByDescription(const std::vector<NetworkCard>& cards,
                                   const std::string& entryText,
                                   const std::string& initialCardNumber);

// Which controls of the card setup are enabled.
struct CardSetupEnabling {
    bool automatic = true;    // "Automatic Configuration"
    bool domain = true;       // the domain edit
    bool addresses = true;    // the address, mask and gateway controls, the further addresses
    bool dnsFromDhcp = true;  // the box that takes the name servers from DHCP
    bool servers = true;      // the name server control and the further name servers
};

// A disabled card has nothing to configure; automatic configuration leaves
// the addresses to the network, and DNS from DHCP the name servers, while
// the domain stays the user's.
CardSetupEnabling CardSetupEnablingRule(bool disableChecked, bool automaticChecked,
                                        bool dnsFromDhcpChecked = false);

// The card's addresses and servers as the card setup shows them: the first
// address in the address controls and the rest as "a.b.c.d/m.m.m.m" lines;
// the first server in the name server control when it is an IPv4 server,
// and the servers after it one a line.
struct CardSetupLists {
    uint32_t firstServer = 0;  // 0: the control stays blank
    std::string moreAddresses;
    std::string moreServers;
};

CardSetupLists ListsForCardSetup(const CardTcpip& tcpip);

// What is wrong with the typed lines: which list, which line (from 1, as
// the edit shows them), and why; or that there are too many servers.
struct CardSetupProblem {
    enum class Kind { None, AddressLine, ServerLine, TooManyServers };
    Kind kind = Kind::None;
    size_t line = 0;
    std::string reason;  // for a line; the number of servers for TooManyServers
};

// Takes the typed lines back into the settings: the first address (address
// and mask of their controls, none when both are 0) and the further address
// lines; the name server of its control (none when 0) and the further
// server lines. Blank lines are passed over. On a problem the settings keep
// their lists as they were.
CardSetupProblem TakeCardSetupLists(const Ipv4WithMask& firstAddress, uint32_t firstServer,
                                    const std::string& moreAddresses,
                                    const std::string& moreServers, CardTcpip& tcpip);

}  // namespace flipset
