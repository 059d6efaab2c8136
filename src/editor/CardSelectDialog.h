// "Select the Network Interface Card": the operating system's cards by
// description, to add one of them to a configuration.
#pragma once

#include "ui/DialogBase.h"
#include "network/CardInventory.h"
#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

class CardSelectDialog : public DialogBase {
public:
    explicit CardSelectDialog(CRegistry registry);

    // Opens on the card numbered initialCardNumber (the first entry when no
    // card has it). True when closed with OK (or a double click), and then
    // the chosen card's number and description; an OK that matches no card
    // hands back the initial number and an empty description. False on
    // Cancel, the outputs untouched.
    bool Execute(HWND owner, const std::string& initialCardNumber, std::string& chosenCardNumber,
                 std::string& chosenDescription);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

private:
    void FillList();
    void Preselect();
    std::string SelectedEntryText() const;

    CRegistry registry_;
    std::string initialCardNumber_;
    // The cards in card list order; the list box shows their descriptions
    // in its own sorted order, so the two are matched by text.
    std::vector<NetworkCard> cards_;
    std::string chosenCardNumber_;
    std::string chosenDescription_;
};

}  // namespace flipset
