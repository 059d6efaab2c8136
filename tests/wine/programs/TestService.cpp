// A small Windows service for the service control tests. The first argument
// of its command line chooses how it answers a stop request:
//   stop-at-once  reports the stopped state at once (also serves as a plain
//                 running service)
//   stop-slowly   reports a pending stop for 2.5 s, then the stopped state
//   stop-never    reports a pending stop and never stops
//   refuse-stop   does not accept the stop control at all
#include <windows.h>

#include <cstring>

namespace {

enum class Behaviour { StopAtOnce, StopSlowly, StopNever, RefuseStop };

Behaviour g_behaviour = Behaviour::StopAtOnce;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopRequested = nullptr;
LONG g_checkPoint = 0;

bool ParseBehaviour(const char* text, Behaviour& behaviour)
{
    struct Named {
        const char* name;
        Behaviour behaviour;
    };
    const Named names[] = {{"stop-at-once", Behaviour::StopAtOnce},
                           {"stop-slowly", Behaviour::StopSlowly},
                           {"stop-never", Behaviour::StopNever},
                           {"refuse-stop", Behaviour::RefuseStop}};
    for (const Named& named : names) {
        if (std::strcmp(text, named.name) == 0) {
            behaviour = named.behaviour;
            return true;
        }
    }
    return false;
}

void Report(DWORD state, DWORD waitHint)
{
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    if (state == SERVICE_RUNNING && g_behaviour != Behaviour::RefuseStop)
        status.dwControlsAccepted = SERVICE_ACCEPT_STOP;
    status.dwWin32ExitCode = NO_ERROR;
    const bool pending = state != SERVICE_RUNNING && state != SERVICE_STOPPED;
    status.dwCheckPoint = pending ? static_cast<DWORD>(InterlockedIncrement(&g_checkPoint)) : 0;
    status.dwWaitHint = waitHint;
    SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID)
{
    switch (control) {
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    case SERVICE_CONTROL_STOP:
        Report(SERVICE_STOP_PENDING, 1000);
        SetEvent(g_stopRequested);
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, LPSTR* argv)
{
    g_statusHandle = RegisterServiceCtrlHandlerExA(argc > 0 ? argv[0] : "", Handler, nullptr);
    if (!g_statusHandle)
        return;
    Report(SERVICE_RUNNING, 0);
    WaitForSingleObject(g_stopRequested, INFINITE);

    switch (g_behaviour) {
    case Behaviour::StopSlowly:
        for (int step = 0; step < 10; ++step) {
            Sleep(250);
            Report(SERVICE_STOP_PENDING, 1000);
        }
        break;
    case Behaviour::StopNever:
        for (;;) {
            Sleep(1000);
            Report(SERVICE_STOP_PENDING, 2000);
        }
    case Behaviour::StopAtOnce:
    case Behaviour::RefuseStop:
        break;
    }
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !ParseBehaviour(argv[1], g_behaviour))
        return 2;
    g_stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // An own-process service: the control manager ignores the table's name.
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
