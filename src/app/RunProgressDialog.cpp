#include "app/RunProgressDialog.h"

#include "engine/Win32WaitWithMessages.h"
#include "resource.h"
#include "ui/LoadText.h"
#include "ui/ShowMessage.h"

#include <utility>

namespace flipset {

namespace {

// Posted at WM_INITDIALOG: the work starts once the window is up.
constexpr UINT kStartWork = WM_APP + 1;

}  // namespace

RunProgressDialog::RunProgressDialog(Work work)
    : DialogBase(IDD_RUN_PROGRESS), work_(std::move(work))
{
}

bool RunProgressDialog::RunWork()
{
    RunModal(nullptr);
    return done_;
}

bool RunProgressDialog::OnInitDialog()
{
    SetItemText(IDC_RUN_PROGRESS_TEXT, LoadText(IDS_TITLE));
    PostMessageA(Handle(), kStartWork, 0, 0);
    return true;
}

bool RunProgressDialog::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR*)
{
    if (message != kStartWork)
        return false;
    try {
        work_(*this);
        done_ = true;
    } catch (...) {
        // Out of memory: the window closes all the same, with the work undone.
    }
    EndDialog(IDOK);
    return true;
}

void RunProgressDialog::ShowCaption(const std::string& caption)
{
    SetItemText(IDC_RUN_PROGRESS_TEXT, caption);
    // The run works between its waits without handling messages: paint now.
    UpdateWindow(Item(IDC_RUN_PROGRESS_TEXT));
}

void RunProgressDialog::ShowError(const std::string& text)
{
    flipset::ShowMessage(Handle(), text, MB_OK | MB_ICONSTOP);
}

void RunProgressDialog::ShowMessage(const std::string& text)
{
    flipset::ShowMessage(Handle(), text, MB_OK);
}

void RunProgressDialog::Wait(uint32_t milliseconds)
{
    WaitWithMessages(Handle(), milliseconds);
}

}  // namespace flipset
