// The run sequence: applies the configuration selected in the main window to
// the machine, area by area in a fixed order, with its progress in the
// window's title bar, and then ends the window's modal loop, which ends the
// program. Only a selection that names no configuration stops a run; every
// other failure is reported by a message box, or not at all, and the run
// goes on.
#pragma once

#include "engine/RunHost.h"
#include "store/Registry.h"

#include <functional>
#include <string>
#include <utility>

namespace flipset {

class DesktopPlatform;
class DeviceInstaller;
class FileSystem;
class InterfaceConfigurator;
class InternetSettingsNotifier;
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
    InternetSettingsNotifier& internet;
    // The live adapters, where the system sets a card on them (10 and later).
    InterfaceConfigurator& interfaces;
};

// Holds the window while a run is in progress: busy, with its run buttons
// disabled and the wait cursor shown (begun by the caller). Released, it
// clears the busy flag and ends the wait cursor, restoring the buttons or
// leaving them disabled for a window that is about to close. A run that ends
// any other way, a phase having thrown, also gets its title back, so the
// window is never left stuck.
class RunGuard {
public:
    enum class Buttons { Restore, KeepDisabled };

    explicit RunGuard(RunHost& host);
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    ~RunGuard();

    void Release(Buttons buttons);
    // The window's title when the run began.
    const std::string& Title() const { return title_; }

private:
    RunHost& host_;
    std::string title_;
    bool released_ = false;
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

    // Called once a run has found its configuration, before it changes
    // anything (the options it stores included); the run goes on whatever
    // the call does, and an exception from it is not the run's concern.
    using BeforeChanges = std::function<void(RunContext& ctx)>;
    void SetBeforeChanges(BeforeChanges beforeChanges)
    {
        beforeChanges_ = std::move(beforeChanges);
    }

private:
    void StoreOptions(RunContext& ctx) const;
    bool IsOn(Area area) const { return host_.IsOptionChecked(area); }

    CRegistry registry_;
    RunHost& host_;
    const RunPlatform& platform_;
    BeforeChanges beforeChanges_;
};

}  // namespace flipset
