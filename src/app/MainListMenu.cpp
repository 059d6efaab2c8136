// The configuration list's context menu: export, import, duplicate, a new
// configuration from the current state, the preview of a run and the undo
// of the last one.
#include "app/MainDialog.h"

#include "app/PreviewDialog.h"
#include "app/RunSnapshotHook.h"
#include "app/Win32RunTurnLock.h"
#include "editor/ValueEntryDialog.h"
#include "engine/RunContext.h"
#include "resource.h"
#include "state/CurrentConfiguration.h"
#include "state/StatePreview.h"
#include "state/StateRestore.h"
#include "ui/LoadText.h"
#include "ui/OpenFileDialog.h"
#include "ui/ShowMessage.h"

#include <windowsx.h>

#include <string_view>
#include <vector>

namespace flipset {

namespace {

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

bool MainDialog::OnListMenuCommand(int id)
{
    for (const ListMenuEntry& entry : kListMenuEntries) {
        if (entry.commandId == id) {
            // A command can come without the menu, and the menu from before a
            // change of selection: one that needs a selection checks again.
            if (!busy_ && (!entry.needsSelection || GetSelectedConfigurationNumber() >= 1))
                (this->*entry.handler)();
            return true;
        }
    }
    return false;
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
    if (!MayWrite(Writes::Configurations))
        return;
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
    if (!MayWrite(Writes::Configurations))
        return;
    const TransferResult result = Transfer().Duplicate(Trim(SelectedListText()));
    if (result.number >= 1)
        FillConfigurationListAndSelect(result.name);
    ShowTransferResult(result);
}

void MainDialog::OnNewFromState()
{
    if (!MayWrite(Writes::Configurations))
        return;
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
    if (!MayWrite(Writes::Machine))
        return;
    Win32RunTurnLock lock;
    const RunTurn turn(lock);
    if (!turn.Held()) {
        ShowStopMessage(LoadText(IDS_RUN_IN_PROGRESS));
        return;
    }
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

}  // namespace flipset
