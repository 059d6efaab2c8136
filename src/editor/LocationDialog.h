// "Location": where a configuration runs by itself. The five conditions,
// all of which must hold, and the mode (off, ask first, switch
// automatically); "Use the current network" fills the conditions from what
// the machine shows now. OK checks every text against the rules the stored
// values are read with (a text that breaks one is named, and the dialog
// stays open on it) and stores the six values together; Cancel stores
// nothing.
#pragma once

#include "editor/AreaDialog.h"
#include "editor/LocationRules.h"
#include "network/NetworkObserver.h"
#include "store/Registry.h"

namespace flipset {

class LocationDialog : public AreaDialog {
public:
    LocationDialog(CRegistry registry, NetworkObserver& observer);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

private:
    LocationTexts Texts() const;
    void ShowTexts(const LocationTexts& texts);
    LocationMode Mode() const;
    void UseCurrentNetwork();

    NetworkObserver& observer_;
};

}  // namespace flipset
