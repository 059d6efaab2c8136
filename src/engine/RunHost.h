// What a run needs of the window that hosts it (the main window). The run
// sequence and its phases are portable code; they reach the user only
// through this interface: the title bar, message boxes, the wait cursor, the
// buttons that a run disables, and the responsive wait.
#pragma once

#include "base/MessageSink.h"
#include "base/Text.h"
#include "store/Areas.h"
#include "store/ConfigurationStore.h"

#include <cstdint>
#include <string>

namespace flipset {

// The main window's buttons that a run disables, in the order it disables them.
enum class RunButton { Run, Add, Edit, Close, Delete, EnableAllNow, DisableAllNow };

constexpr RunButton kRunButtons[] = {
    RunButton::Run,    RunButton::Add,          RunButton::Edit,         RunButton::Close,
    RunButton::Delete, RunButton::EnableAllNow, RunButton::DisableAllNow};

class RunHost : public MessageSink {
public:
    // The configuration the run works on, as the store under the root holds
    // it now; 0 when there is none.
    virtual int SelectedConfigurationNumber(const ConfigurationStore& store,
                                            RegistryRoot root) const = 0;
    // Whether the area's option box reports the checked state right now.
    virtual bool IsOptionChecked(Area area) const = 0;
    // The "UserSettings" number that the window read when it opened.
    virtual uint32_t SettingsRootChoice() const = 0;

    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;

    virtual void DisableButton(RunButton button) = 0;
    // After a run that found no configuration: the buttons as the window's
    // own rules set them when it is idle.
    virtual void RestoreButtons() = 0;

    virtual bool IsBusy() const = 0;
    virtual void SetBusy(bool busy) = 0;

    virtual void BeginWaitCursor() = 0;
    // Shows the wait cursor again after something (a message box) replaced it.
    virtual void RestoreWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Returns after at least the given milliseconds, handling the window's
    // messages meanwhile; 0 returns at once without handling any.
    virtual void WaitWithMessages(uint32_t milliseconds) = 0;

    // Ends the window's modal loop with the given result.
    virtual void EndModal(int result) = 0;
};

// Shows the host's wait cursor for as long as it lives.
class WaitCursorScope {
public:
    explicit WaitCursorScope(RunHost& host) : host_(host) { host_.BeginWaitCursor(); }
    ~WaitCursorScope() { host_.EndWaitCursor(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    RunHost& host_;
};

// A host whose selection is an entry of a list of names (the main window).
// Every call looks the selected entry's name up again, so a selection changed
// during one of the run's waits affects the reads after it.
class ListRunHost : public RunHost {
public:
    // The text of the list's selected entry; empty when none.
    virtual std::string SelectedListText() const = 0;

    int SelectedConfigurationNumber(const ConfigurationStore& store,
                                    RegistryRoot root) const override
    {
        const std::string name = Trim(SelectedListText());
        return name.empty() ? 0 : store.FindConfigurationNumber(name, root);
    }
};

}  // namespace flipset
