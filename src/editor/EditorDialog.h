// "Editor": a plain multi-line text editor on one text.
#pragma once

#include "ui/DialogBase.h"

#include <cstddef>
#include <string>

namespace flipset {

class EditorDialog : public DialogBase {
public:
    EditorDialog();

    // Refuses OK, with a message that says why, while the text is longer
    // than this many bytes; the editor then stays open with the text in it.
    // No limit unless set.
    void SetLongestText(size_t bytes) { longestText_ = bytes; }

    // True on OK: text is then the edit's text, untrimmed. On Cancel text is
    // left as it was.
    bool Execute(HWND owner, std::string& text);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::string text_;
    size_t longestText_;
};

}  // namespace flipset
