#include "app/MainDialog.h"

#include "app/FirstRun.h"
#include "app/PreviewDialog.h"
#include "app/RunSnapshotHook.h"
#include "ui/LoadText.h"
#include "app/Win32ProductVersion.h"
#include "editor/ConfigurationDialog.h"
#include "editor/ValueEntryDialog.h"
#include "engine/RunContext.h"
#include "engine/SystemInfo.h"
#include "engine/Win32WaitWithMessages.h"
#include "network/AdapterControl.h"
#include "resource.h"
#include "state/CurrentConfiguration.h"
#include "state/StatePreview.h"
#include "state/StateRestore.h"
#include "ui/ListBoxText.h"
#include "ui/OpenFileDialog.h"
#include "ui/ShowMessage.h"

#include <windowsx.h>

#include <iterator>
#include <string_view>
#include <vector>

namespace flipset {

namespace {

// Each area's option box, in the order of the areas' list.
constexpr int kOptionBoxIds[] = {IDC_MAIN_FILES, IDC_MAIN_NETWORK, IDC_MAIN_DESKTOP,
                                 IDC_MAIN_PROGRAMS, IDC_MAIN_SERVICES};
static_assert(std::size(kOptionBoxIds) == kAreaCount, "every area has its option box");

int OptionBoxId(Area area)
{
    return kOptionBoxIds[AreaIndex(area)];
}

struct StartupRadio {
    int id;
    uint32_t option;
};
constexpr StartupRadio kStartupRadios[] = {
    {IDC_MAIN_STARTUP_NOTHING, kStartupDoNothing},
    {IDC_MAIN_STARTUP_ENABLE, kStartupEnableAllCards},
    {IDC_MAIN_STARTUP_DISABLE, kStartupDisableAllCards},
};

int RunButtonId(RunButton button)
{
    switch (button) {
    case RunButton::Run:
        return IDC_MAIN_RUN;
    case RunButton::Add:
        return IDC_MAIN_ADD;
    case RunButton::Edit:
        return IDC_MAIN_EDIT;
    case RunButton::Close:
        return IDC_MAIN_CLOSE;
    case RunButton::Delete:
        return IDC_MAIN_DELETE;
    case RunButton::EnableAllNow:
        return IDC_MAIN_ENABLE_ALL_NOW;
    case RunButton::DisableAllNow:
        return IDC_MAIN_DISABLE_ALL_NOW;
    }
    return IDC_MAIN_RUN;
}

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

// Shows the wait cursor over the window for as long as it lives.
class WaitCursorScope {
public:
    explicit WaitCursorScope(RunHost& host) : host_(host) { host_.BeginWaitCursor(); }
    ~WaitCursorScope() { host_.EndWaitCursor(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    RunHost& host_;
};

// A configuration name as a file name: the characters a file name cannot
// hold become "_".
std::string FileNameFor(const std::string& name)
{
    std::string fileName = name;
    for (char& c : fileName) {
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return fileName;
}

std::vector<FileFilter> ConfigurationFileFilters()
{
    return {{LoadText(IDS_CONFIGURATION_FILES), "*.json"}, {LoadText(IDS_ALL_FILES), "*.*"}};
}

}  // namespace

const MainDialog::ListMenuEntry MainDialog::kListMenuEntries[] = {
    {IDM_LIST_EXPORT, true, &MainDialog::OnExport},
    {IDM_LIST_EXPORT_ALL, false, &MainDialog::OnExportAll},
    {IDM_LIST_IMPORT, false, &MainDialog::OnImport},
    {IDM_LIST_DUPLICATE, true, &MainDialog::OnDuplicate},
    {IDM_LIST_NEW_FROM_STATE, false, &MainDialog::OnNewFromState},
    {IDM_LIST_PREVIEW, true, &MainDialog::OnPreview},
    {IDM_LIST_UNDO, false, &MainDialog::OnUndo},
};

MainDialog::MainDialog(CRegistry registry, const RunPlatform& platform)
    : DialogBase(IDD_MAIN),
      registry_(registry),
      platform_(platform),
      store_(registry),
      icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FLIPSET))),
      nameCharacters_(LoadNameCharacters())
{
}

bool MainDialog::NetworkFeaturesAvailable() const
{
    return flipset::NetworkFeaturesAvailable(platform_.system);
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

// The option boxes and the start-up radio buttons as last left.
void MainDialog::LoadProgramOptions()
{
    const ProgramSettings settings = Settings();
    for (const AreaDescriptor& area : kAreas) {
        const int box = OptionBoxId(area.area);
        SetChecked(box, settings.Read(ProgramSettings::AreaOptionSetting(area.area)) != 0);
        if (!IsAreaAvailable(area.area, platform_.system)) {
            SetChecked(box, false);
            EnableItem(box, false);
        }
    }

    uint32_t startupOption = settings.Read(ProgramSettings::kStartupOption);
    if (!NetworkFeaturesAvailable()) {
        EnableItem(IDC_MAIN_ENABLE_ALL_NOW, false);
        EnableItem(IDC_MAIN_DISABLE_ALL_NOW, false);
        startupOption = kStartupDoNothing;  // shown, not stored
        for (const StartupRadio& radio : kStartupRadios)
            EnableItem(radio.id, false);
        EnableItem(IDC_MAIN_STARTUP_GROUP, false);
    }
    for (const StartupRadio& radio : kStartupRadios)
        SetChecked(radio.id, radio.option == startupOption);
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

std::string MainDialog::SelectedListText() const
{
    return SelectedListBoxText(Item(IDC_MAIN_CONFIGURATIONS));
}

int MainDialog::GetSelectedConfigurationNumber() const
{
    const std::string name = Trim(SelectedListText());
    if (name.empty())
        return 0;
    return store_.FindConfigurationNumber(name, Root());
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
    bool anyOption = false;
    for (const AreaDescriptor& area : kAreas)
        anyOption = anyOption || IsChecked(OptionBoxId(area.area));
    EnableItem(IDC_MAIN_DELETE, selected);
    EnableItem(IDC_MAIN_EDIT, selected);
    EnableItem(IDC_MAIN_RUN, selected && anyOption);
}

void MainDialog::LoadSelectedOptions()
{
    const int configuration = GetSelectedConfigurationNumber();
    if (configuration >= 1) {
        const std::string key = ConfigurationKeyPath(configuration);
        for (const AreaDescriptor& area : kAreas) {
            const int box = OptionBoxId(area.area);
            if (!IsAreaAvailable(area.area, platform_.system)) {
                SetChecked(box, false);
                continue;
            }
            SetChecked(box,
                       registry_.ReadDword(key, area.optionValue, kAreaOptionDefault, Root()) != 0);
        }
    }
    UpdateButtons();
}

void MainDialog::RunConfiguration()
{
    // The snapshot for an undo is taken silently: a run that cannot store one
    // goes on as it always has, and the undo entry tells why it is missing.
    RunSequence sequence(registry_, *this, platform_);
    TakeSnapshotBeforeChanges(sequence, registry_, platform_, nullptr);
    sequence.RunConfiguration();
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
        EditConfiguration(std::string(), 0);
        return true;
    case IDC_MAIN_EDIT:
        // With nothing selected this is Add.
        EditConfiguration(Trim(SelectedListText()), GetSelectedConfigurationNumber());
        return true;
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
    for (const ListMenuEntry& entry : kListMenuEntries) {
        if (entry.commandId == id) {
            // A command can come without the menu, and the menu from before a
            // change of selection: one that needs a selection checks again.
            if (!busy_ && (!entry.needsSelection || GetSelectedConfigurationNumber() >= 1))
                (this->*entry.handler)();
            return true;
        }
    }
    for (const AreaDescriptor& area : kAreas) {
        if (OptionBoxId(area.area) == id) {
            OnOptionClicked(id, area.area);
            return true;
        }
    }
    for (const StartupRadio& radio : kStartupRadios) {
        if (radio.id == id) {
            (void)Settings().Write(ProgramSettings::kStartupOption, radio.option);
            return true;
        }
    }
    return DialogBase::OnCommand(id, notification, control);
}

void MainDialog::OnOptionClicked(int id, Area area)
{
    uint32_t state = SendDlgItemMessageA(Handle(), id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    if (!IsAreaAvailable(area, platform_.system))
        state = 0;
    (void)Settings().Write(ProgramSettings::AreaOptionSetting(area), state);
    UpdateButtons();
}

void MainDialog::OnDelete()
{
    const int configuration = GetSelectedConfigurationNumber();
    if (configuration >= 1 && flipset::ShowMessage(Handle(), LoadText(IDS_DELETE_QUESTION),
                                                   MB_YESNO | MB_ICONSTOP) == IDYES)
        (void)store_.DeleteConfiguration(configuration, Root());
    FillConfigurationList();
}

void MainDialog::EditConfiguration(std::string name, int configurationNumber)
{
    ConfigurationDialog dialog(registry_, platform_.services, platform_.system);
    dialog.Edit(Handle(), name, configurationNumber, Root());
    FillConfigurationList();
}

void MainDialog::SetAllCards(bool enable)
{
    WaitCursorScope waitCursor(*this);
    SetAllCardsState(registry_, platform_.devices, *this, enable);
}

void MainDialog::ShowListMenu(LPARAM position)
{
    const HWND list = Item(IDC_MAIN_CONFIGURATIONS);
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (point.x == -1 && point.y == -1) {
        // Shift+F10 or the Menu key: under the selected entry, else at the
        // list's corner.
        RECT item{};
        const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR || SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                               reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            item = RECT{};
        point = POINT{item.left + 8, item.bottom};
        ClientToScreen(list, &point);
    } else {
        // A right-click on an entry selects it first, so the menu acts on
        // the entry under the pointer.
        POINT client = point;
        ScreenToClient(list, &client);
        const LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
        if (hit != LB_ERR && HIWORD(hit) == 0 &&
            SendMessageA(list, LB_GETCURSEL, 0, 0) != LOWORD(hit)) {
            SendMessageA(list, LB_SETCURSEL, LOWORD(hit), 0);
            LoadSelectedOptions();
        }
    }

    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_LIST_MENU));
    if (menu == nullptr)
        return;
    const HMENU popup = GetSubMenu(menu, 0);
    const bool selected = GetSelectedConfigurationNumber() >= 1;
    for (const ListMenuEntry& entry : kListMenuEntries) {
        if (entry.needsSelection)
            EnableMenuItem(popup, static_cast<UINT>(entry.commandId),
                           MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED));
    }
    // The undo entry names the run it would undo, or why there is none.
    std::string lastRun;
    const bool undoable = DescribeLastRun(registry_, Root(), lastRun);
    const std::string undoText =
        FormatText(undoable ? IDS_UNDO_ENTRY : IDS_UNDO_UNAVAILABLE, {lastRun});
    ModifyMenuA(popup, IDM_LIST_UNDO, MF_BYCOMMAND | MF_STRING | (undoable ? 0 : MF_GRAYED),
                IDM_LIST_UNDO, undoText.c_str());
    // The chosen entry comes back as WM_COMMAND, as a button's click does.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0,
                   Handle(), nullptr);
    DestroyMenu(menu);
}

void MainDialog::OnExport()
{
    const std::string name = Trim(SelectedListText());
    ExportToChosenFile(IDS_EXPORT_TITLE, FileNameFor(name), {name});
}

void MainDialog::OnExportAll()
{
    ExportToChosenFile(IDS_EXPORT_ALL_TITLE, std::string(), {});
}

void MainDialog::ExportToChosenFile(UINT titleId, const std::string& proposedName,
                                    const StringList& names)
{
    std::string path;
    if (!ChooseFileToSave(Handle(), LoadText(titleId), ConfigurationFileFilters(), "json",
                          proposedName, path))
        return;
    WaitCursorScope waitCursor(*this);
    const TransferResult result = Transfer().Export(path, names);
    ShowTransferResult(result);
}

void MainDialog::OnImport()
{
    std::string path;
    if (!ChooseFileToOpen(Handle(), LoadText(IDS_IMPORT_TITLE), ConfigurationFileFilters(), path))
        return;
    TransferResult result;
    {
        WaitCursorScope waitCursor(*this);
        result = Transfer().Import(path, false);
    }
    if (result.number >= 1)
        FillConfigurationListAndSelect(result.name);
    ShowTransferResult(result);
}

void MainDialog::OnDuplicate()
{
    const TransferResult result = Transfer().Duplicate(Trim(SelectedListText()));
    if (result.number >= 1)
        FillConfigurationListAndSelect(result.name);
    ShowTransferResult(result);
}

void MainDialog::OnNewFromState()
{
    std::string name;
    if (!ValueEntryDialog().Execute(Handle(), name, LoadText(IDS_NEW_FROM_STATE_TITLE),
                                    LoadText(IDS_NEW_FROM_STATE_LABEL)))
        return;
    NewConfigurationResult result;
    {
        WaitCursorScope waitCursor(*this);
        MachineState state;
        std::string error;
        if (!CaptureMachineState(StatePlatformOf(registry_, platform_),
                                 CurrentStateScope(registry_), state, error)) {
            ShowStopMessage(FormatText(IDS_STATE_UNREADABLE, {error}));
            return;
        }
        result = StoreStateAsConfiguration(registry_, Root(), nameCharacters_, name, state);
    }
    if (result.status != NewConfigurationStatus::Done) {
        ShowStopMessage(result.message);
        return;
    }
    FillConfigurationListAndSelect(Trim(name));
}

void MainDialog::OnPreview()
{
    const std::string name = Trim(SelectedListText());
    StringList lines;
    {
        WaitCursorScope waitCursor(*this);
        const RunContext ctx(registry_, *this);
        MachineState before;
        std::string error;
        if (!CaptureMachineState(StatePlatformOf(registry_, platform_),
                                 RunScope(ctx, platform_.system), before, error)) {
            ShowStopMessage(FormatText(IDS_STATE_UNREADABLE, {error}));
            return;
        }
        lines = PreviewRun(ctx, before);
    }
    PreviewDialog().Execute(Handle(), FormatText(IDS_PREVIEW_TITLE, {name}), lines);
}

// The undo runs as a run does: the window busy, its progress in the title
// bar, each failed step in a message box; the window stays open after it.
void MainDialog::OnUndo()
{
    const ProgramSettings settings = Settings();
    const ServiceWaits waits{settings.Read(ProgramSettings::kServiceStopWait),
                             settings.Read(ProgramSettings::kServiceStartWait)};
    BeginWaitCursor();
    UndoOutcome outcome;
    {
        RunGuard guard(*this);
        outcome = UndoLastRun(StatePlatformOf(registry_, platform_), platform_.devices, *this,
                              Root(), waits, CurrentTimeText());
        SetCaption(guard.Title());
        guard.Release(RunGuard::Buttons::Restore);
    }
    if (outcome.status != UndoStatus::Restored) {
        ShowStopMessage(FormatText(IDS_UNDO_UNAVAILABLE, {outcome.reason}));
        return;
    }
    std::string text =
        FormatText(IDS_UNDO_DONE, {outcome.undone.configurationName, outcome.undone.time});
    if (!outcome.ownSnapshotProblem.empty())
        text += "\n" + FormatText(IDS_UNDO_OWN_SNAPSHOT_MISSING, {outcome.ownSnapshotProblem});
    flipset::ShowMessage(Handle(), text, MB_OK | MB_ICONINFORMATION);
}

void MainDialog::ShowStopMessage(const std::string& text)
{
    flipset::ShowMessage(Handle(), text, MB_OK | MB_ICONSTOP);
}

void MainDialog::ShowTransferResult(const TransferResult& result)
{
    bool failed = result.status != TransferStatus::Done;
    std::string text;
    for (const std::string& line : result.lines) {
        failed = failed || line.rfind("error:", 0) == 0;
        text += (text.empty() ? "" : "\n") + line;
    }
    flipset::ShowMessage(Handle(), text, MB_OK | (failed ? MB_ICONSTOP : MB_ICONINFORMATION));
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

// --- RunHost ----------------------------------------------------------------

bool MainDialog::IsOptionChecked(Area area) const
{
    return SendDlgItemMessageA(Handle(), OptionBoxId(area), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string MainDialog::Caption() const
{
    return WindowText(Handle());
}

void MainDialog::SetCaption(const std::string& caption)
{
    SetWindowTextA(Handle(), caption.c_str());
}

void MainDialog::DisableButton(RunButton button)
{
    EnableItem(RunButtonId(button), false);
}

// As the window's own rules set the buttons when it is idle.
void MainDialog::RestoreButtons()
{
    EnableItem(IDC_MAIN_ADD, true);
    EnableItem(IDC_MAIN_CLOSE, true);
    EnableItem(IDC_MAIN_ENABLE_ALL_NOW, NetworkFeaturesAvailable());
    EnableItem(IDC_MAIN_DISABLE_ALL_NOW, NetworkFeaturesAvailable());
    UpdateButtons();
}

void MainDialog::ShowError(const std::string& text)
{
    ShowStopMessage(text);
}

void MainDialog::ShowMessage(const std::string& text)
{
    flipset::ShowMessage(Handle(), text, MB_OK);
}

void MainDialog::BeginWaitCursor()
{
    ++waitCursorDepth_;
    RestoreWaitCursor();
}

void MainDialog::RestoreWaitCursor()
{
    if (waitCursorDepth_ > 0)
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void MainDialog::EndWaitCursor()
{
    if (waitCursorDepth_ > 0)
        --waitCursorDepth_;
    if (waitCursorDepth_ == 0)
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void MainDialog::WaitWithMessages(uint32_t milliseconds)
{
    flipset::WaitWithMessages(Handle(), milliseconds);
}

void MainDialog::EndModal(int result)
{
    EndDialog(result);
}

}  // namespace flipset
