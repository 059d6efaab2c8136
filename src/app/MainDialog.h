// The main window: the configuration list with Add, Delete, Edit, Run and
// Close and its context menu (export, import, duplicate, a new configuration
// from the current state, the preview of a run, the undo of the last run),
// an option box per area that chooses what a run applies, the network action
// at start, and the two buttons that switch every network card at once. It
// hosts the run (RunHost): a run shows its progress in this window's title
// bar and closes the window when it is done.
//
// Started without administrator rights where the program checks them, the
// window still shows, previews and exports; an action that needs the rights
// says so instead of trying (MayWrite). The editors that Edit opens read as
// ever, and say so themselves when a write of theirs is refused.
//
// One class over four files, one concern each: MainDialog.cpp (the window,
// its list, buttons and balloons), MainOptions.cpp (the option boxes and the
// network action at start), MainListMenu.cpp (the list's context menu) and
// MainRunHost.cpp (the run's host).
#pragma once

#include "app/Elevation.h"
#include "ui/DialogBase.h"
#include "ui/TipButton.h"
#include "engine/RunHost.h"
#include "engine/RunSequence.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"
#include "transfer/ConfigurationTransfer.h"
#include "transfer/Win32CodePage.h"
#include "transfer/Win32FileAccess.h"

#include <array>
#include <iterator>
#include <string>

namespace flipset {

class MainDialog : public DialogBase, public ListRunHost {
public:
    MainDialog(CRegistry registry, const RunPlatform& platform, const Elevation& elevation);

    // The list's selected configuration, resolved by name; 0 for none.
    int GetSelectedConfigurationNumber() const;
    void FillConfigurationList();
    void UpdateButtons();
    void LoadSelectedOptions();
    void RunConfiguration();

    // RunHost
    std::string SelectedListText() const override;
    bool IsOptionChecked(Area area) const override;
    uint32_t SettingsRootChoice() const override { return settingsRootChoice_; }
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;
    void DisableButton(RunButton button) override;
    void RestoreButtons() override;
    bool IsBusy() const override { return busy_; }
    void SetBusy(bool busy) override { busy_ = busy; }
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void BeginWaitCursor() override;
    void RestoreWaitCursor() override;
    void EndWaitCursor() override;
    void WaitWithMessages(uint32_t milliseconds) override;
    void EndModal(int result) override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    // Enter goes to the default button, Run; with Run disabled it does nothing.
    void OnOK() override {}
    // Escape and Close end the window, but never in the middle of a run.
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    RegistryRoot Root() const { return ConfigurationRoot(settingsRootChoice_); }
    ProgramSettings Settings() const { return ProgramSettings(registry_, settingsRootChoice_); }

    // MainDialog.cpp
    void SetUpTipButtons();
    // True when the process may do an action that writes there; otherwise
    // says that administrator rights are needed.
    bool MayWrite(Writes writes);
    void OnDelete();
    // The Configuration dialog on that configuration (0: a new one), then
    // the list afresh, whatever the dialog did.
    void EditConfiguration(std::string name, int configurationNumber);
    void SetAllCards(bool enable);
    void ShowStopMessage(const std::string& text);
    // The list afresh, with the named configuration selected.
    void FillConfigurationListAndSelect(const std::string& name);

    // MainOptions.cpp
    bool NetworkFeaturesAvailable() const;
    void LoadProgramOptions();
    bool AnyOptionChecked() const;
    // An option box or start-up radio button clicked: stored; false for
    // any other command.
    bool OnOptionCommand(int id);
    void OnOptionClicked(int id, Area area);

    // MainListMenu.cpp
    // The configuration list's context menu, at a screen position, or
    // under the selected entry when the keyboard opened it.
    void ShowListMenu(LPARAM position);
    // A command of the menu, run when it may; false for any other command.
    bool OnListMenuCommand(int id);
    void OnExport();
    void OnExportAll();
    void OnImport();
    void OnDuplicate();
    void OnNewFromState();
    void OnPreview();
    void OnUndo();
    ConfigurationTransfer Transfer() { return {registry_, Root(), codePage_, files_}; }
    void ExportToChosenFile(UINT titleId, const std::string& proposedName, const StringList& names);
    // The result's lines in a message box, with the stop icon when the
    // operation failed or a line reports an error.
    void ShowTransferResult(const TransferResult& result);

    // An entry of the context menu: its command, whether it acts on the
    // selected configuration (greyed without one), and its handler.
    struct ListMenuEntry {
        int commandId;
        bool needsSelection;
        void (MainDialog::*handler)();
    };
    static const ListMenuEntry kListMenuEntries[];

    // The buttons' balloon help: its text, and the side it opens to.
    struct TipText {
        int buttonId;
        UINT textId;
        PointerPosition pointerPosition;
    };
    static constexpr TipText kTipTexts[] = {
        {IDC_MAIN_ADD, IDS_TIP_ADD, PointerPosition::UpperRight},
        {IDC_MAIN_DELETE, IDS_TIP_DELETE, PointerPosition::UpperRight},
        {IDC_MAIN_EDIT, IDS_TIP_EDIT, PointerPosition::UpperRight},
        {IDC_MAIN_RUN, IDS_TIP_RUN, PointerPosition::UpperRight},
        {IDC_MAIN_CLOSE, IDS_TIP_CLOSE, PointerPosition::UpperRight},
        {IDC_MAIN_ENABLE_ALL_NOW, IDS_TIP_ENABLE_ALL_NOW, PointerPosition::UpperLeft},
        {IDC_MAIN_DISABLE_ALL_NOW, IDS_TIP_DISABLE_ALL_NOW, PointerPosition::UpperLeft},
    };

    CRegistry registry_;
    const RunPlatform& platform_;
    const Elevation& elevation_;
    ConfigurationStore store_;
    HICON icon_;
    uint32_t settingsRootChoice_ = 0;
    bool busy_ = false;
    int waitCursorDepth_ = 0;
    std::array<TipButton, std::size(kTipTexts)> tipButtons_;
    Win32CodePage codePage_;
    Win32FileAccess files_;
    std::string nameCharacters_;
};

}  // namespace flipset
