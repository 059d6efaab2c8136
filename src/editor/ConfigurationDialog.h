// The Configuration dialog: names a configuration and opens the editor of
// each of its areas. The editors store their values as soon as their own
// dialog is confirmed; only the name waits for this dialog's OK, so Cancel
// here keeps what the editors wrote.
#pragma once

#include "ui/DialogBase.h"
#include "store/ConfigurationStore.h"

#include <string>

namespace flipset {

class NetworkObserver;
class ServiceManager;
class SystemInfo;

// The characters a configuration name may hold, from the program's string
// table so that they live with its other texts; the built-in copy when the
// resource is missing. The name rules of this dialog, the copies and the
// imported files all use it.
std::string LoadNameCharacters();

class ConfigurationDialog : public DialogBase {
public:
    // The observer is what the Location dialog's "Use the current network"
    // reads.
    ConfigurationDialog(CRegistry registry, ServiceManager& services, const SystemInfo& system,
                        NetworkObserver& observer);

    // Runs the dialog on the configuration of that number (0: a new one, whose
    // number is taken the first time an area or the name is stored). Its OK
    // stores the name, and when the registry refuses it, says so and stays
    // open; returns true after OK, with name holding the name as stored.
    bool Edit(HWND owner, std::string& name, int number, RegistryRoot root);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

private:
    RegistryRoot Root() const { return root_; }
    // The configuration's number, allocated when it has none yet.
    int EnsureNumber();
    // Keeps the name edit free of characters a name may not hold, and OK
    // enabled only for a name that is not blank.
    void CheckNameEdit();
    void OpenArea(int id);
    void EditNetworkCard();

    CRegistry registry_;
    ServiceManager& services_;
    const SystemInfo& system_;
    NetworkObserver& observer_;
    ConfigurationStore store_;
    std::string allowedCharacters_;
    std::string initialName_;
    std::string storedName_;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
    int number_ = 0;
};

}  // namespace flipset
