// The platform services of the program, one of each.
#pragma once

#include "engine/RunSequence.h"
#include "engine/Win32Desktop.h"
#include "engine/Win32FileSystem.h"
#include "engine/Win32InternetSettings.h"
#include "engine/Win32ServiceManager.h"
#include "engine/Win32Shell.h"
#include "engine/Win32SystemInfo.h"
#include "network/Win32DeviceInstaller.h"
#include "network/Win32InterfaceConfigurator.h"
#include "store/Win32RegistryBackend.h"

namespace flipset {

struct Win32Platform {
    // A run that nobody watches gets a shell that shows no window of its own.
    explicit Win32Platform(Win32Shell::Interface shellInterface = Win32Shell::Interface::Shown)
        : shell(shellInterface)
    {
    }

    Win32RegistryBackend registryBackend;
    Win32FileSystem files;
    Win32Desktop desktop;
    Win32DeviceInstaller devices;
    Win32ServiceManager services;
    Win32Shell shell;
    Win32SystemInfo system;
    Win32InternetSettings internet;
    Win32InterfaceConfigurator interfaces;
    RunPlatform run{files, desktop, devices, services, shell, system, internet, interfaces};
    CRegistry Registry() { return CRegistry(registryBackend); }
};

}  // namespace flipset
