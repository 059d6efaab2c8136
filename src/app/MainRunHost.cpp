// The main window as the run's host: a run shows its progress in the title
// bar, disables the buttons, shows the wait cursor and its messages over the
// window, and closes the window when it is done.
#include "app/MainDialog.h"

#include "app/RunSnapshotHook.h"
#include "app/Win32RunTurnLock.h"
#include "engine/Win32WaitWithMessages.h"
#include "resource.h"
#include "ui/LoadText.h"
#include "ui/ShowMessage.h"

namespace flipset {

namespace {

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

}  // namespace

void MainDialog::RunConfiguration()
{
    if (!MayWrite(Writes::Machine))
        return;
    Win32RunTurnLock lock;
    const RunTurn turn(lock);
    if (!turn.Held()) {
        ShowStopMessage(LoadText(IDS_RUN_IN_PROGRESS));
        return;
    }
    // The snapshot for an undo is taken silently: a run that cannot store one
    // goes on as it always has, and the undo entry tells why it is missing.
    RunSequence sequence(registry_, *this, platform_);
    TakeSnapshotBeforeChanges(sequence, registry_, platform_, nullptr);
    sequence.RunConfiguration();
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
