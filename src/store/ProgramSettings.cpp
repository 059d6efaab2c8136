#include "store/ProgramSettings.h"

#include "store/ConfigurationStore.h"

namespace flipset {

uint32_t ProgramSettings::ReadSettingsRootChoice(CRegistry registry)
{
    return ProgramSettings(registry, kSettingsSharedByAllUsers).Read(kUserSettings);
}

ProgramSettings::ProgramSettings(CRegistry registry, uint32_t settingsRootChoice)
    : registry_(registry), configurationRoot_(ConfigurationRoot(settingsRootChoice))
{
}

RegistryRoot ProgramSettings::RootOf(SettingRoot root) const
{
    return root == SettingRoot::LocalMachine ? RegistryRoot::LocalMachine : configurationRoot_;
}

uint32_t ProgramSettings::Read(const ProgramSetting& setting) const
{
    return registry_.ReadDword(kProgramSettingsKey, setting.name, setting.defaultValue,
                               RootOf(setting.root));
}

bool ProgramSettings::Write(const ProgramSetting& setting, uint32_t value) const
{
    // A failed write (no right to HKEY_LOCAL_MACHINE) leaves the old value in
    // place.
    return registry_.WriteDword(kProgramSettingsKey, setting.name, value, RootOf(setting.root));
}

uint32_t ProgramSettings::Read(const WaitSetting& wait) const
{
    return registry_.ReadDword(kProgramSettingsKey, wait.name, wait.defaultValue,
                               RegistryRoot::LocalMachine);
}

}  // namespace flipset
