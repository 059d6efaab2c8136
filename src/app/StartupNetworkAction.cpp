#include "app/StartupNetworkAction.h"

#include "app/CommandLine.h"
#include "store/ProgramSettings.h"

namespace flipset {

void ApplyStartupNetworkAction(CRegistry registry, DeviceInstaller& devices, MessageSink& messages,
                               const SystemInfo& system, const StringList& commandLineTokens)
{
    if (!NetworkFeaturesAvailable(system) ||
        HasCommandLineSwitch(commandLineTokens, kNoNicChangeSwitch))
        return;
    const uint32_t choice = ProgramSettings::ReadSettingsRootChoice(registry);
    const uint32_t option = ProgramSettings(registry, choice).Read(ProgramSettings::kStartupOption);
    if (option == kStartupEnableAllCards)
        SetAllCardsState(registry, devices, messages, true);
    else if (option == kStartupDisableAllCards)
        SetAllCardsState(registry, devices, messages, false);
}

}  // namespace flipset
