#include "app/Win32RunTurnLock.h"

namespace flipset {

namespace {

// How often a mutex that this process may not open is looked at again.
constexpr DWORD kRetryInterval = 100;

}  // namespace

bool Win32RunTurnLock::Take(uint32_t milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        mutex_ = KernelHandle(CreateMutexA(nullptr, FALSE, kRunTurnMutexName));
        if (mutex_) {
            const ULONGLONG now = GetTickCount64();
            const DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
            // An abandoned mutex is a run that ended without giving the
            // turn back (its process was ended): the turn is free.
            const DWORD result = WaitForSingleObject(mutex_.Get(), wait);
            if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED)
                return true;
            mutex_.Close();
            return false;
        }
        // A run with administrator rights made the mutex, and a process
        // without them may not open it: that run is still in progress.
        // Any other failure leaves no lock to take turns with, and the run
        // goes ahead rather than never running at all.
        if (GetLastError() != ERROR_ACCESS_DENIED)
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(kRetryInterval);
    }
}

void Win32RunTurnLock::Give()
{
    if (mutex_) {
        ReleaseMutex(mutex_.Get());
        mutex_.Close();
    }
}

bool RunTurnTaken()
{
    // The mutex exists only while a run takes or holds it; one made by a
    // run with administrator rights may refuse this process.
    const KernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kRunTurnMutexName));
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace flipset
