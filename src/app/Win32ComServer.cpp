#include "app/Win32ComServer.h"

#include "app/ComRegistration.h"
#include "app/CommandLine.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"

#include <windows.h>

#include <objbase.h>

namespace flipset {

namespace {

// Writes or removes the registration. Failures are not reported: the
// program ends either way.
//
// There is no type-library step: the program has no type library in its
// resources, and a stray "<program>.tlb" beside it would describe classes
// that the program does not serve, so it is not registered either.
void HandleComCommand(ComCommand command)
{
    Win32RegistryBackend backend;
    const CRegistry registry(backend);
    if (command == ComCommand::RegServer)
        WriteComRegistration(registry);
    else
        RemoveComRegistration(registry);
}

}  // namespace

ComServer::~ComServer()
{
    Stop();
}

bool ComServer::Start(const std::string& commandLine)
{
    if (FAILED(CoInitialize(nullptr)))
        return false;

    const ComCommand command = FindComCommand(commandLine);
    if (command != ComCommand::None) {
        try {
            HandleComCommand(command);
        } catch (...) {
            // Out of memory: the program ends all the same.
        }
        CoUninitialize();
        return false;
    }

    // The class-object table is empty: nothing to register with
    // CoRegisterClassObject, so nothing can fail here.
    serving_ = true;
    return true;
}

void ComServer::Stop()
{
    if (!serving_)
        return;
    // No class object was registered, so none is revoked.
    serving_ = false;
    CoUninitialize();
}

}  // namespace flipset
