#include "editor/CardSetupRules.h"

#include "base/Text.h"
#include "store/ConfigurationStore.h"

namespace flipset {

std::string CardSettingsKeyPath(int configurationNumber, const std::string& cardNumber)
{
    return ConfigurationKeyPath(configurationNumber) + "\\" + cardNumber;
}

std::optional<std::string> InitialCardDescription(const std::vector<NetworkCard>& cards,
                                                  const std::string& initialCardNumber)
{
    for (const NetworkCard& card : cards) {
        if (EqualsNoCase(card.number, initialCardNumber))
            return card.description;
    }
    return std::nullopt;
}

CardChoice ChooseCardByDescription(const std::vector<NetworkCard>& cards,
                                   const std::string& entryText,
                                   const std::string& initialCardNumber)
{
    CardChoice choice{initialCardNumber, std::string()};
    for (const NetworkCard& card : cards) {
        if (EqualsNoCase(card.description, entryText))
            choice = {card.number, entryText};
    }
    return choice;
}

CardSetupEnabling CardSetupEnablingRule(bool disableChecked, bool automaticChecked)
{
    CardSetupEnabling enabling;
    enabling.automatic = !disableChecked;
    enabling.domain = !disableChecked;
    enabling.addresses = !disableChecked && !automaticChecked;
    return enabling;
}

}  // namespace flipset
