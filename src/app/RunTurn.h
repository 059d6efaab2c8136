// One run at a time on the machine, across processes: every run (the main
// window's Run and undo, "/apply", "/undo", and so every run the tray starts,
// which goes through "/apply") holds the run turn while it changes the
// machine. Another run waits a short time for it and then says that a run is
// in progress, changing nothing. Portable: the lock itself (a named mutex on
// Windows, Win32RunTurnLock) is behind RunTurnLock.
#pragma once

#include "app/CommandVerbs.h"
#include "app/OutputSink.h"

#include <cstdint>
#include <functional>

namespace flipset {

class RunTurnLock {
public:
    virtual ~RunTurnLock() = default;
    // Waits up to the milliseconds for the turn: true once this process
    // holds it, false when another run still holds it.
    virtual bool Take(uint32_t milliseconds) = 0;
    // Gives back a turn that Take gave.
    virtual void Give() = 0;
};

// How long a run waits for one in progress: long enough for a run that is
// just ending (its read-back, its last message), short enough that a
// person or a script is told soon.
inline constexpr uint32_t kRunTurnWait = 3000;

// The turn for as long as the object lives, when it could be taken.
class RunTurn {
public:
    RunTurn(RunTurnLock& lock, uint32_t milliseconds = kRunTurnWait)
        : lock_(lock), held_(lock.Take(milliseconds))
    {
    }
    RunTurn(const RunTurn&) = delete;
    RunTurn& operator=(const RunTurn&) = delete;
    ~RunTurn()
    {
        if (held_)
            lock_.Give();
    }
    bool Held() const { return held_; }

private:
    RunTurnLock& lock_;
    bool held_;
};

// A verb's run in its turn: the run's own exit code, or RunInProgress with
// an error line, and nothing run, while another run holds the turn.
ExitCode RunInTurn(RunTurnLock& lock, OutputSink& output, const std::function<ExitCode()>& run);

}  // namespace flipset
