#include "editor/DesktopSoundDialog.h"

#include "ui/LoadText.h"
#include "ui/OpenFileDialog.h"
#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "editor/PrinterList.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

#include <commctrl.h>

#include <iterator>

namespace flipset {

namespace {

constexpr LPARAM kVolumeLow = 0;
constexpr LPARAM kVolumeHigh = 0xFFFF;

// The radio button of each placement, in stored order.
const int kPlacementButtons[] = {IDC_DESKTOP_TILE, IDC_DESKTOP_GROW, IDC_DESKTOP_CENTER};

}  // namespace

DesktopSoundDialog::DesktopSoundDialog(CRegistry registry) : AreaDialog(IDD_DESKTOP_SOUND, registry)
{
}

bool DesktopSoundDialog::OnInitDialog()
{
    // Each end is set as a full 32-bit value, without redrawing yet.
    SendDlgItemMessageA(Handle(), IDC_DESKTOP_VOLUME, TBM_SETRANGEMIN, FALSE, kVolumeLow);
    SendDlgItemMessageA(Handle(), IDC_DESKTOP_VOLUME, TBM_SETRANGEMAX, FALSE, kVolumeHigh);

    const RegistryRoot root = Root();
    const std::string key = ConfigurationKeyPath(Number());
    const std::string wallpaper =
        Registry().ReadString(key, ConfigurationValue::kWallpaper, "", root);
    const uint32_t placement = Registry().ReadDword(key, ConfigurationValue::kWallpaperPosition,
                                                    kDefaultWallpaperPosition, root);
    const uint32_t volume =
        Registry().ReadDword(key, ConfigurationValue::kVolume, kDefaultVolume, root);

    SendDlgItemMessageA(Handle(), IDC_DESKTOP_VOLUME, TBM_SETPOS, TRUE,
                        static_cast<LPARAM>(volume));
    // Any other stored number checks none; OK then stores "Tile".
    if (placement < std::size(kPlacementButtons))
        SetChecked(kPlacementButtons[placement], true);
    FillPrinterList(key, root);

    SetItemText(IDC_DESKTOP_WALLPAPER, wallpaper);
    SetFocus(Item(IDC_DESKTOP_WALLPAPER));
    return false;
}

void DesktopSoundDialog::FillPrinterList(const std::string& configurationKey, RegistryRoot root)
{
    const HWND list = Item(IDC_DESKTOP_PRINTER);
    printers_ = ListPrinterEntries(Registry());
    // Each item keeps the index of its entry, and OK takes the entry from
    // there: under Wine, CB_GETLBTEXT of an item over 1 KB long (too long to
    // store, but it must still reach the length check) never returns.
    for (size_t i = 0; i < printers_.size(); ++i) {
        const LRESULT index =
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(printers_[i].c_str()));
        if (index >= 0)
            SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }

    // The stored entry selects the first item that begins with it, in any
    // letter case; a printer that is gone leaves the first of the sorted list.
    const std::string stored =
        Registry().ReadString(configurationKey, ConfigurationValue::kDefaultPrinter, "", root);
    if (!stored.empty() && SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(stored.c_str())) != CB_ERR)
        return;
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

bool DesktopSoundDialog::OnCommand(int id, int notification, HWND control)
{
    if (id == IDC_DESKTOP_BROWSE && notification == BN_CLICKED) {
        BrowseForWallpaper();
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

void DesktopSoundDialog::BrowseForWallpaper()
{
    std::string path;
    if (ChooseFileToOpen(Handle(), LoadText(IDS_SELECT_WALLPAPER),
                         {{LoadText(IDS_BITMAP_FILES), "*.bmp"}}, path))
        SetItemText(IDC_DESKTOP_WALLPAPER, path);
}

std::string DesktopSoundDialog::SelectedPrinter() const
{
    const HWND list = Item(IDC_DESKTOP_PRINTER);
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::string();
    const auto entry =
        static_cast<size_t>(SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    return entry < printers_.size() ? printers_[entry] : std::string();
}

bool DesktopSoundDialog::FitsTextValueOrTell(UINT whatId, const std::string& text, int control)
{
    if (FitsTextValue(text))
        return true;
    ShowTooLongMessage(Handle(), whatId, text.size(), kLongestTextValue);
    SetFocus(Item(control));
    return false;
}

void DesktopSoundDialog::OnOK()
{
    const std::string wallpaper = Trim(ItemText(IDC_DESKTOP_WALLPAPER));
    const uint32_t volume =
        static_cast<uint32_t>(SendDlgItemMessageA(Handle(), IDC_DESKTOP_VOLUME, TBM_GETPOS, 0, 0));
    uint32_t placement = kWallpaperTile;
    if (IsChecked(IDC_DESKTOP_CENTER))
        placement = kWallpaperCenter;
    else if (IsChecked(IDC_DESKTOP_GROW))
        placement = kWallpaperGrow;
    const std::string printer = SelectedPrinter();

    // A longer text would be stored but read back as empty.
    if (!FitsTextValueOrTell(IDS_WHAT_WALLPAPER_PATH, wallpaper, IDC_DESKTOP_WALLPAPER) ||
        !FitsTextValueOrTell(IDS_WHAT_PRINTER_ENTRY, printer, IDC_DESKTOP_PRINTER))
        return;

    const RegistryRoot root = Root();
    const std::string key = ConfigurationKeyPath(Number());
    // The first value refused ends the writing: those before it stay written,
    // and the dialog stays open, so the next OK writes them all again.
    const bool stored =
        Registry().WriteString(key, ConfigurationValue::kWallpaper, wallpaper, root) &&
        Registry().WriteDword(key, ConfigurationValue::kWallpaperPosition, placement, root) &&
        Registry().WriteDword(key, ConfigurationValue::kVolume, volume, root) &&
        Registry().WriteString(key, ConfigurationValue::kDefaultPrinter, printer, root);
    if (!stored) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_DESKTOP_SETTINGS);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace flipset
