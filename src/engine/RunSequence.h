// The run sequence: applies the configuration selected in the main window to
// the machine, area by area in a fixed order, with its progress in the
// window's title bar, and then ends the window's modal loop, which ends the
// program. Only a selection that names no configuration stops a run; every
// other failure is reported by a message box, or not at all, and the run
// goes on.
#pragma once

#include "engine/RunHost.h"
#include "store/Registry.h"

namespace flipset {

class DesktopPlatform;
class DeviceInstaller;
class FileSystem;
class RunContext;
class ServiceManager;
class Shell;
class SystemInfo;

// The platform services that the phases of a run act through.
struct RunPlatform {
    FileSystem& files;
    DesktopPlatform& desktop;
    DeviceInstaller& devices;
    ServiceManager& services;
    Shell& shell;
    const SystemInfo& system;
};

class RunSequence {
public:
    RunSequence(CRegistry registry, RunHost& host, const RunPlatform& platform)
        : registry_(registry), host_(host), platform_(platform)
    {
    }

    // Does nothing while a run is already in progress (the host's busy flag):
    // the waits of a run keep the window responsive, so a second Run can
    // arrive in the middle of one.
    void RunConfiguration();

private:
    void StoreOptions(RunContext& ctx) const;
    bool IsOn(RunOption option) const { return host_.IsOptionChecked(option); }

    CRegistry registry_;
    RunHost& host_;
    const RunPlatform& platform_;
};

}  // namespace flipset
