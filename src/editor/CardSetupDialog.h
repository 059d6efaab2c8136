// "Setup the Network Interface Card": what a run does with one card of a
// configuration: leave it disabled, configure it automatically, or give it
// fixed addresses; and its domain.
#pragma once

#include "ui/DialogBase.h"
#include "store/Registry.h"

#include <string>

namespace flipset {

class CardSetupDialog : public DialogBase {
public:
    explicit CardSetupDialog(CRegistry registry);

    // Edits the card settings key of the card in configuration number under
    // the configuration root. True when closed with OK, every value then
    // written; false on Cancel, nothing written by it. An OK whose write the
    // registry refuses says so and leaves the dialog open; the values
    // written before the refused one stay written.
    bool Execute(HWND owner, int number, const std::string& cardNumber,
                 const std::string& description, RegistryRoot root);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnOK() override;

private:
    void ReadSettings();
    // False as soon as the registry refuses a value.
    bool WriteSettings() const;
    // Enables the controls for the current check states.
    void ApplyEnablingRule() const;

    CRegistry registry_;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
    std::string settingsKey_;
    std::string description_;
};

}  // namespace flipset
