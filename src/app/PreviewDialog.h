// The preview of a run: what it would change, one line each, in a read-only
// text the user can scroll and copy from.
#pragma once

#include "base/Text.h"
#include "ui/DialogBase.h"

#include <string>

namespace flipset {

class PreviewDialog : public DialogBase {
public:
    PreviewDialog();
    void Execute(HWND owner, const std::string& title, const StringList& lines);

private:
    bool OnInitDialog() override;

    std::string title_;
    std::string text_;
};

}  // namespace flipset
