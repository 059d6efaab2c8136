// "Setup the Network Interface Card": what a run does with one card of a
// configuration: leave it disabled, configure it automatically, or give it
// fixed addresses; its name servers, from DHCP or of its own; and its
// domain. The first address and name server have their address controls,
// the further ones a line each in an edit.
#pragma once

#include "network/CardTcpip.h"
#include "store/Registry.h"
#include "ui/DialogBase.h"

#include <cstdint>
#include <string>

namespace flipset {

class CardSetupDialog : public DialogBase {
public:
    explicit CardSetupDialog(CRegistry registry);

    // Edits the card settings key of the card in configuration number under
    // the configuration root. True when closed with OK, every value then
    // written, with the card's adapter GUID as the card list has it; false
    // on Cancel, nothing written by it. An OK on a line that is no address
    // or name server, or on too many servers, names the line and leaves the
    // dialog open; so does an OK whose write the registry refuses, and the
    // values written before the refused one stay written.
    bool Execute(HWND owner, int number, const std::string& cardNumber,
                 const std::string& description, RegistryRoot root);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnOK() override;

private:
    void ReadSettings();
    // The controls into tcpip_; false, having said why, when a line is
    // refused.
    bool TakeInput();
    // False as soon as the registry refuses a value.
    bool WriteSettings() const;
    // Enables the controls for the current check states.
    void ApplyEnablingRule() const;
    void SetAddress(int id, uint32_t address) const;
    uint32_t Address(int id) const;

    CRegistry registry_;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
    std::string cardNumber_;
    std::string settingsKey_;
    std::string description_;
    // The settings as read, then as taken from the controls.
    CardTcpip tcpip_;
};

}  // namespace flipset
