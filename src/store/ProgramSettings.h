// The program's own settings: DWORD values of the program settings key, each
// described once here with its value name, its default and the root it lives
// under, so that no caller repeats a name or a default.
#pragma once

#include "store/Areas.h"
#include "store/ConfigurationSchema.h"
#include "store/Registry.h"

#include <cstdint>

namespace flipset {

enum class SettingRoot {
    LocalMachine,       // HKEY_LOCAL_MACHINE, whatever "UserSettings" says
    ConfigurationRoot,  // the root that "UserSettings" chooses for the configurations
};

// A setting that the program reads and writes.
struct ProgramSetting {
    const char* name;
    uint32_t defaultValue;
    SettingRoot root;
};

// A wait in milliseconds. Only an administrator editing the registry sets
// one: the program reads it from HKEY_LOCAL_MACHINE each time it waits and
// never writes it, so ProgramSettings offers no Write for this type.
struct WaitSetting {
    const char* name;
    uint32_t defaultValue;
};

// "UserSettings", as the first-run question stores it; ConfigurationRoot
// takes any number but 0 as "per user".
constexpr uint32_t kSettingsSharedByAllUsers = 0;
constexpr uint32_t kSettingsPerUser = 1;

// "startupoption": the network action at start. Any other number does nothing.
constexpr uint32_t kStartupDoNothing = 0;
constexpr uint32_t kStartupEnableAllCards = 1;
constexpr uint32_t kStartupDisableAllCards = 2;

class ProgramSettings {
public:
    // The product version that last started, its digits run together.
    static constexpr ProgramSetting kVersion{"Version", 0, SettingRoot::LocalMachine};
    // The settings-root choice.
    static constexpr ProgramSetting kUserSettings{"UserSettings", kSettingsSharedByAllUsers,
                                                  SettingRoot::LocalMachine};
    static constexpr ProgramSetting kStartupOption{"startupoption", kStartupDoNothing,
                                                   SettingRoot::ConfigurationRoot};

    // The value names lack the "e" of "Timeout" in the stored data.
    static constexpr WaitSetting kServiceStopWait{"ServiceStopTimout", 1000};
    static constexpr WaitSetting kServiceStartWait{"ServiceStartTimout", 1000};
    // One stored value sets both the wait before the programs are started and
    // the wait after each started program; only the defaults differ.
    static constexpr WaitSetting kBeforeRunWait{"BeforeRunTimout", 10000};
    static constexpr WaitSetting kInRunWait{"BeforeRunTimout", 1000};
    static constexpr WaitSetting kAfterRunWait{"AfterRunTimout", 1000};

    // The main window's remembered option box of an area.
    static constexpr ProgramSetting AreaOptionSetting(Area area)
    {
        return {Describe(area).optionValue, kAreaOptionDefault, SettingRoot::ConfigurationRoot};
    }

    // The settings-root choice as stored; it needs no choice to be read, since
    // "UserSettings" always lives under HKEY_LOCAL_MACHINE.
    static uint32_t ReadSettingsRootChoice(CRegistry registry);

    ProgramSettings(CRegistry registry, uint32_t settingsRootChoice);

    uint32_t Read(const ProgramSetting& setting) const;
    // True when written.
    bool Write(const ProgramSetting& setting, uint32_t value) const;

    uint32_t Read(const WaitSetting& wait) const;

private:
    RegistryRoot RootOf(SettingRoot root) const;

    CRegistry registry_;
    RegistryRoot configurationRoot_;
};

}  // namespace flipset
