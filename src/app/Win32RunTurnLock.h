// The run turn on Windows: a named mutex in the global namespace, so that
// runs in every session of the machine take turns. The mutex exists only
// while a run takes or holds it.
#pragma once

#include "app/RunTurn.h"
#include "base/Win32Handles.h"

namespace flipset {

// The mutex's name; tests hold it to play a run in progress.
inline constexpr const char* kRunTurnMutexName = "Global\\Quillon.Flipset.Run";

// Whether a run takes or holds the turn now, looked at without taking it.
bool RunTurnTaken();

class Win32RunTurnLock : public RunTurnLock {
public:
    bool Take(uint32_t milliseconds) override;
    void Give() override;

private:
    KernelHandle mutex_;
};

}  // namespace flipset
