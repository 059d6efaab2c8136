#include "app/FirstRun.h"

#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

#include <limits>

namespace flipset {

namespace {

bool SettingsRootChoiceStored(CRegistry registry)
{
    RegistryValue value;
    return registry.ReadValue(kProgramSettingsKey, ProgramSettings::kUserSettings.name, value,
                              RegistryRoot::LocalMachine);
}

}  // namespace

uint32_t ProductVersionNumber(const std::string& productVersionText)
{
    constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
    uint64_t value = 0;
    for (char c : productVersionText) {
        if (c == ' ' || c == ',' || c == '.')
            continue;
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > kLargest)
            return 0;
    }
    return static_cast<uint32_t>(value);
}

uint32_t CurrentVersionNumber(std::string (*readProductVersionText)()) noexcept
{
    try {
        return ProductVersionNumber(readProductVersionText());
    } catch (...) {
        return kVersionNumberOnError;
    }
}

void CheckVersionAndFirstRun(CRegistry registry, uint32_t currentVersion,
                             FirstRunQuestion& question)
{
    // Both settings live under HKEY_LOCAL_MACHINE whatever the root choice.
    const ProgramSettings settings(registry, kSettingsSharedByAllUsers);
    const uint32_t storedVersion = settings.Read(ProgramSettings::kVersion);
    if (storedVersion < kFirstRunVersionBelow) {
        // Written before the question: a program ended while the question is
        // open has still recorded its start.
        (void)settings.Write(ProgramSettings::kVersion, currentVersion);
        // Configurations already under the machine-wide root (a verb's or an
        // installer's, with no choice or the shared one stored) keep it: an
        // answer "No" would hide them from every user.
        const bool deployed =
            settings.Read(ProgramSettings::kUserSettings) == kSettingsSharedByAllUsers &&
            !ConfigurationStore(registry).ListConfigurations(RegistryRoot::LocalMachine).empty();
        const bool shared = deployed || question.AskShareConfigurations();
        (void)settings.Write(ProgramSettings::kUserSettings,
                             shared ? kSettingsSharedByAllUsers : kSettingsPerUser);
    } else if (storedVersion < currentVersion) {
        (void)settings.Write(ProgramSettings::kVersion, currentVersion);
    }
}

void StoreSharedChoiceWhenMissing(CRegistry registry)
{
    if (!SettingsRootChoiceStored(registry))
        (void)ProgramSettings(registry, kSettingsSharedByAllUsers)
            .Write(ProgramSettings::kUserSettings, kSettingsSharedByAllUsers);
}

}  // namespace flipset
