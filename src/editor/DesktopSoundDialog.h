// "Desktop and Sound": a configuration's wallpaper, its placement, the
// master volume and the default printer, all stored together on OK;
// Cancel stores nothing.
#pragma once

#include "editor/AreaDialog.h"
#include "base/Text.h"
#include "store/Registry.h"

#include <string>

namespace flipset {

class DesktopSoundDialog : public AreaDialog {
public:
    explicit DesktopSoundDialog(CRegistry registry);

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
    bool FitsTextValueOrTell(UINT whatId, const std::string& text, int control);

    StringList printers_;  // the entries offered, in the order added
};

}  // namespace flipset
