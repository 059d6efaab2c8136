// The splash picture shown for three seconds before the main window. It has
// no controls, and Enter, Escape and closing do nothing: it cannot be closed
// earlier.
#pragma once

#include "ui/DialogBase.h"

namespace flipset {

class SplashDialog : public DialogBase {
public:
    static constexpr UINT kShowMilliseconds = 3000;

    SplashDialog();

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    static constexpr UINT_PTR kTimerId = 1;
};

}  // namespace flipset
