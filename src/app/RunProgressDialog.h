// The small window of a run started from the command line without
// "/quiet": it shows the run's caption texts while the run goes on inside
// its modal loop, and the run's messages appear as message boxes over it,
// as they do over the main window.
#pragma once

#include "app/ApplyCommand.h"
#include "ui/DialogBase.h"

#include <functional>

namespace flipset {

class RunProgressDialog : public DialogBase, public RunPresenter {
public:
    using Work = std::function<void(RunPresenter&)>;
    explicit RunProgressDialog(Work work);

    // Shows the window, does the work inside its modal loop with the window
    // as the presenter, and closes it when the work is done. False when the
    // window could not be created or the work failed with an exception.
    bool RunWork();

    void ShowCaption(const std::string& caption) override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void Wait(uint32_t milliseconds) override;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    // Neither Enter nor Escape ends the window: the run does.
    void OnOK() override {}
    void OnCancel() override {}

private:
    Work work_;
    bool done_ = false;
};

// The presenter of "/quiet": no window and no message box; a wait sleeps.
class QuietPresenter : public RunPresenter {
public:
    void ShowCaption(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    void Wait(uint32_t milliseconds) override { Sleep(milliseconds); }
};

}  // namespace flipset
