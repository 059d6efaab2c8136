// "Enter a value": one line of text under a label, for example the browser's
// start page. It has no Cancel button: closing the window cancels.
#pragma once

#include "ui/DialogBase.h"

#include <string>

namespace flipset {

class ValueEntryDialog : public DialogBase {
public:
    ValueEntryDialog();

    // Shows the value in the edit under the label. On OK, value becomes the
    // edit's text, untrimmed, and the result is true; otherwise value is
    // emptied and the result is false.
    bool Execute(HWND owner, std::string& value, const std::string& title,
                 const std::string& label);

private:
    bool OnInitDialog() override;
    void OnOK() override;

    std::string value_;
    std::string title_;
    std::string label_;
};

}  // namespace flipset
