// The rules behind the two card dialogs, kept free of windows: which card a
// chosen list entry stands for, which card the selection list starts on,
// where a card's settings live in a configuration, and which controls of the
// card setup are usable for a pair of check states.
#pragma once

#include "network/CardInventory.h"

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
    bool automatic = true;  // "Automatic Configuration"
    bool domain = true;     // the domain edit
    bool addresses = true;  // the four address controls
};

// A disabled card has nothing to configure; automatic configuration leaves
// the addresses to the network, while the domain stays the user's.
CardSetupEnabling CardSetupEnablingRule(bool disableChecked, bool automaticChecked);

}  // namespace flipset
