// A stand-in for the main window that hosts a run. It records everything the
// run shows, in order, as a journal of short lines ("caption: Writing
// Hostfile", "error: ...", "wait: 1000"), so tests can check what a user
// would have seen; and it lets a test act during a wait, as a user could.
#pragma once

#include "engine/RunHost.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace flipset {

class FakeRunHost : public ListRunHost {
public:
    std::string selectedText;
    std::map<Area, bool> options = {{Area::Files, true},
                                         {Area::Network, true},
                                         {Area::Desktop, true},
                                         {Area::Programs, true},
                                         {Area::Services, true},
                                         {Area::Proxy, true}};
    uint32_t settingsRootChoice = 0;
    std::string caption = "Quillon Configuration Flipset";
    std::map<RunButton, bool> buttonsEnabled;
    bool busy = false;
    int endModalResult = 0;  // 0 while the modal loop has not been ended
    int buttonRestores = 0;

    std::vector<std::string> journal;  // everything shown, in order
    std::vector<uint32_t> waits;       // the durations of every wait
    int optionReads = 0;               // IsOptionChecked calls
    int selectionReads = 0;            // SelectedListText calls

    // Called inside every wait, with its duration: the test acts as a user.
    std::function<void(uint32_t)> onWait;
    // Called when a message box is shown, with its text.
    std::function<void(const std::string&)> onMessageBox;

    FakeRunHost()
    {
        for (RunButton button : kRunButtons)
            buttonsEnabled[button] = true;
    }

    std::string SelectedListText() const override
    {
        ++const_cast<FakeRunHost*>(this)->selectionReads;
        return selectedText;
    }
    bool IsOptionChecked(Area option) const override
    {
        ++const_cast<FakeRunHost*>(this)->optionReads;
        auto it = options.find(option);
        return it != options.end() && it->second;
    }
    uint32_t SettingsRootChoice() const override { return settingsRootChoice; }

    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& text) override
    {
        caption = text;
        journal.push_back("caption: " + text);
    }

    void DisableButton(RunButton button) override { buttonsEnabled[button] = false; }
    void RestoreButtons() override
    {
        ++buttonRestores;
        for (RunButton button : kRunButtons)
            buttonsEnabled[button] = true;
    }

    bool IsBusy() const override { return busy; }
    void SetBusy(bool value) override { busy = value; }

    void ShowError(const std::string& text) override
    {
        journal.push_back("error: " + text);
        if (onMessageBox)
            onMessageBox(text);
    }
    void ShowMessage(const std::string& text) override
    {
        journal.push_back("message: " + text);
        if (onMessageBox)
            onMessageBox(text);
    }

    void BeginWaitCursor() override { ++waitCursorDepth; }
    void RestoreWaitCursor() override {}
    void EndWaitCursor() override { --waitCursorDepth; }
    int waitCursorDepth = 0;

    void WaitWithMessages(uint32_t milliseconds) override
    {
        waits.push_back(milliseconds);
        journal.push_back("wait: " + std::to_string(milliseconds));
        if (onWait)
            onWait(milliseconds);
    }

    void EndModal(int result) override
    {
        endModalResult = result;
        journal.push_back("end: " + std::to_string(result));
    }

    // The journal lines that begin with the prefix ("caption: ", "error: ").
    std::vector<std::string> Lines(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        for (const std::string& line : journal) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line.substr(prefix.size()));
        }
        return lines;
    }
};

}  // namespace flipset
