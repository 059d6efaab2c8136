#include "app/MainDialog.h"

#include "app/FirstRun.h"
#include "app/Win32ProductVersion.h"
#include "editor/ConfigurationDialog.h"
#include "network/Win32NetworkObserver.h"
#include "network/AdapterControl.h"
#include "resource.h"
#include "ui/ListBoxText.h"
#include "ui/LoadText.h"
#include "ui/ShowMessage.h"

#include <iterator>

// The window itself: its list, its buttons and their balloons, and the
// commands that reach it. The option boxes are in MainOptions.cpp, the
// list's context menu in MainListMenu.cpp, the run's host in MainRunHost.cpp.

namespace flipset {

namespace {

// The first-run question, asked in a message box over the main window.
class MessageBoxQuestion : public FirstRunQuestion {
public:
    explicit MessageBoxQuestion(HWND owner) : owner_(owner) {}
    bool AskShareConfigurations() override
    {
        return ShowMessage(owner_, LoadText(IDS_FIRST_RUN_QUESTION), MB_YESNO | MB_ICONQUESTION) ==
               IDYES;
    }

private:
    HWND owner_;
};

}  // namespace

MainDialog::MainDialog(CRegistry registry, const RunPlatform& platform,
                       const Elevation& elevation)
    : DialogBase(IDD_MAIN),
      registry_(registry),
      platform_(platform),
      elevation_(elevation),
      store_(registry),
      icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FLIPSET))),
      nameCharacters_(LoadNameCharacters())
{
}

bool MainDialog::OnInitDialog()
{
    MessageBoxQuestion question(Handle());
    CheckVersionAndFirstRun(registry_, ProgramVersionNumber(), question);
    settingsRootChoice_ = ProgramSettings::ReadSettingsRootChoice(registry_);

    LoadProgramOptions();

    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetUpTipButtons();

    FillConfigurationList();
    if (SendDlgItemMessageA(Handle(), IDC_MAIN_CONFIGURATIONS, LB_GETCOUNT, 0, 0) > 0)
        SendDlgItemMessageA(Handle(), IDC_MAIN_CONFIGURATIONS, LB_SETCURSEL, 0, 0);
    LoadSelectedOptions();
    UpdateButtons();

    SetFocus(Item(IDC_MAIN_CONFIGURATIONS));
    return false;
}

void MainDialog::SetUpTipButtons()
{
    for (size_t i = 0; i < std::size(kTipTexts); ++i) {
        const TipText& tip = kTipTexts[i];
        tipButtons_[i].SetTipText(LoadText(tip.textId));
        tipButtons_[i].SetTrackingFailureMessage(LoadText(IDS_NO_TOOLTIPS));
        tipButtons_[i].SetPointerPosition(tip.pointerPosition);
        tipButtons_[i].Attach(Item(tip.buttonId));
    }
}

bool MainDialog::MayWrite(Writes writes)
{
    if (!LacksRightsFor(writes, Root(), platform_.system, elevation_))
        return true;
    ShowStopMessage(LoadText(IDS_RIGHTS_NEEDED));
    return false;
}

std::string MainDialog::SelectedListText() const
{
    return SelectedListBoxText(Item(IDC_MAIN_CONFIGURATIONS));
}

int MainDialog::GetSelectedConfigurationNumber() const
{
    return SelectedConfigurationNumber(store_, Root());
}

void MainDialog::FillConfigurationList()
{
    const HWND list = Item(IDC_MAIN_CONFIGURATIONS);
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : store_.ListConfigurationNames(Root()))
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (selected < count)
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    else if (count > 0)
        SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void MainDialog::UpdateButtons()
{
    const bool selected = !Trim(SelectedListText()).empty();
    EnableItem(IDC_MAIN_DELETE, selected);
    EnableItem(IDC_MAIN_EDIT, selected);
    EnableItem(IDC_MAIN_RUN, selected && AnyOptionChecked());
}

bool MainDialog::OnCommand(int id, int notification, HWND control)
{
    // Enter and the dialog's keys click a button without passing it, so the
    // balloons are hidden here as well before a command opens anything.
    for (size_t i = 0; i < std::size(kTipTexts); ++i) {
        if (kTipTexts[i].buttonId == id) {
            for (TipButton& button : tipButtons_)
                button.HideBalloon();
            break;
        }
    }
    switch (id) {
    case IDC_MAIN_CONFIGURATIONS:
        if (notification == LBN_DBLCLK)
            RunConfiguration();
        else if (notification == LBN_SELCHANGE)
            LoadSelectedOptions();
        return true;
    case IDC_MAIN_RUN:
        RunConfiguration();
        return true;
    case IDC_MAIN_ADD:
        if (MayWrite(Writes::Configurations))
            EditConfiguration(std::string(), 0);
        return true;
    case IDC_MAIN_EDIT: {
        // With nothing selected this is Add. An existing configuration opens
        // for reading whatever the rights.
        const int configuration = GetSelectedConfigurationNumber();
        if (configuration >= 1 || MayWrite(Writes::Configurations))
            EditConfiguration(Trim(SelectedListText()), configuration);
        return true;
    }
    case IDC_MAIN_DELETE:
        OnDelete();
        return true;
    case IDC_MAIN_CLOSE:
        OnCancel();
        return true;
    case IDC_MAIN_ENABLE_ALL_NOW:
        SetAllCards(true);
        return true;
    case IDC_MAIN_DISABLE_ALL_NOW:
        SetAllCards(false);
        return true;
    default:
        break;
    }
    if (OnListMenuCommand(id) || OnOptionCommand(id))
        return true;
    return DialogBase::OnCommand(id, notification, control);
}

void MainDialog::OnDelete()
{
    const int configuration = GetSelectedConfigurationNumber();
    if (configuration >= 1 && MayWrite(Writes::Configurations) && flipset::ShowMessage(Handle(), LoadText(IDS_DELETE_QUESTION),
                                                   MB_YESNO | MB_ICONSTOP) == IDYES)
        (void)store_.DeleteConfiguration(configuration, Root());
    FillConfigurationList();
}

void MainDialog::EditConfiguration(std::string name, int configurationNumber)
{
    Win32NetworkObserver observer(platform_.interfaces);
    ConfigurationDialog dialog(registry_, platform_.services, platform_.system, observer);
    dialog.Edit(Handle(), name, configurationNumber, Root());
    FillConfigurationList();
}

void MainDialog::SetAllCards(bool enable)
{
    if (!MayWrite(Writes::Machine))
        return;
    WaitCursorScope waitCursor(*this);
    SetAllCardsState(registry_, platform_.devices, *this, enable);
}

void MainDialog::ShowStopMessage(const std::string& text)
{
    flipset::ShowMessage(Handle(), text, MB_OK | MB_ICONSTOP);
}

void MainDialog::FillConfigurationListAndSelect(const std::string& name)
{
    FillConfigurationList();
    const HWND list = Item(IDC_MAIN_CONFIGURATIONS);
    const LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    if (index != LB_ERR)
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    LoadSelectedOptions();
}

void MainDialog::OnCancel()
{
    if (busy_)
        return;
    EndDialog(IDCANCEL);
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* /*result*/)
{
    switch (message) {
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != Item(IDC_MAIN_CONFIGURATIONS) || busy_)
            return false;
        ShowListMenu(lParam);
        return true;
    case WM_CLOSE:
        OnCancel();
        return true;
    case WM_SETCURSOR:
        if (waitCursorDepth_ <= 0)
            return false;
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);  // the cursor is set
        return true;
    default:
        return false;
    }
}

}  // namespace flipset
