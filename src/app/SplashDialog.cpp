#include "app/SplashDialog.h"

#include "resource.h"

namespace flipset {

SplashDialog::SplashDialog() : DialogBase(IDD_SPLASH) {}

bool SplashDialog::OnInitDialog()
{
    SetTimer(Handle(), kTimerId, kShowMilliseconds, nullptr);
    return true;
}

bool SplashDialog::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR* /*result*/)
{
    if (message != WM_TIMER || wParam != kTimerId)
        return false;
    KillTimer(Handle(), kTimerId);
    EndDialog(1);
    return true;
}

}  // namespace flipset
