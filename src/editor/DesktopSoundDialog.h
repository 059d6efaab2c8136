// "Desktop and Sound": a configuration's wallpaper, its placement, the
// master volume and the default printer, all stored together on OK.
#pragma once

#include "app/DialogBase.h"
#include "base/Text.h"
#include "store/Registry.h"

#include <string>

namespace flipset {

class DesktopSoundDialog : public DialogBase {
public:
    explicit DesktopSoundDialog(CRegistry registry);

    // True when closed with OK, which has stored the four values; Cancel
    // stores nothing.
    bool Execute(HWND owner, int number, RegistryRoot root);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

private:
    // The printers offered, and the one the configuration names selected.
    void FillPrinterList(const std::string& configurationKey, RegistryRoot root);
    void BrowseForWallpaper();
    std::string SelectedPrinter() const;
    // False, after telling the user, when the text could not be read back.
    bool FitsTextValueOrTell(const std::string& what, const std::string& text, int control);

    CRegistry registry_;
    StringList printers_;  // the entries offered, in the order added
    int number_ = 0;
    RegistryRoot root_ = RegistryRoot::LocalMachine;
};

}  // namespace flipset
