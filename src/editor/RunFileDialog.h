// "Select a file to run": one run-list entry, a program and its parameters.
#pragma once

#include "ui/DialogBase.h"

#include <string>

namespace flipset {

class RunFileDialog : public DialogBase {
public:
    RunFileDialog();

    // Both edits start empty. On OK, entry becomes the run-list entry of the
    // two edits, untrimmed and unchecked, and the result is true; on Cancel
    // entry is left as it was.
    bool Execute(HWND owner, std::string& entry);

private:
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

    void BrowseForProgram();

    std::string entry_;
};

}  // namespace flipset
