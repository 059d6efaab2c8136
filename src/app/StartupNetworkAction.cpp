#include "app/StartupNetworkAction.h"

#include "app/CommandLine.h"
#include "store/ProgramSettings.h"

namespace flipset {

bool ApplyStartupNetworkAction(CRegistry registry, DeviceInstaller& devices, MessageSink& messages,
                               const SystemInfo& system, const Elevation& elevation,
                               const StringList& commandLineTokens)
{
    if (!NetworkFeaturesAvailable(system) ||
        HasCommandLineSwitch(commandLineTokens, kNoNicChangeSwitch))
        return true;
    const uint32_t choice = ProgramSettings::ReadSettingsRootChoice(registry);
    const uint32_t option = ProgramSettings(registry, choice).Read(ProgramSettings::kStartupOption);
    if (option != kStartupEnableAllCards && option != kStartupDisableAllCards)
        return true;
    if (LacksAdministratorRights(system, elevation))
        return false;
    SetAllCardsState(registry, devices, messages, option == kStartupEnableAllCards);
    return true;
}

}  // namespace flipset
