#include "app/Elevation.h"

namespace flipset {

bool LacksAdministratorRights(const SystemInfo& system, const Elevation& elevation)
{
    return system.MajorVersion() >= 10 && !elevation.IsElevated();
}

bool LacksRightsFor(Writes writes, RegistryRoot configurationRoot, const SystemInfo& system,
                    const Elevation& elevation)
{
    if (!LacksAdministratorRights(system, elevation))
        return false;
    return writes == Writes::Machine || configurationRoot != RegistryRoot::CurrentUser;
}

std::optional<Writes> WritesOfVerb(Verb verb)
{
    switch (verb) {
    case Verb::Apply:
    case Verb::Undo:
        return Writes::Machine;
    case Verb::Import:
    case Verb::Capture:
        return Writes::Configurations;
    case Verb::List:
    case Verb::Export:
    case Verb::Preview:
    case Verb::Where:
    case Verb::Help:
        break;
    }
    return std::nullopt;
}

VerbRights DecideVerbRights(const VerbCommand& command, RegistryRoot configurationRoot,
                            const SystemInfo& system, const Elevation& elevation)
{
    const std::optional<Writes> writes = WritesOfVerb(command.verb);
    if (!writes || !LacksRightsFor(*writes, configurationRoot, system, elevation))
        return VerbRights::Proceed;
    if (command.quiet || !command.outputFile.empty())
        return VerbRights::Refuse;
    return VerbRights::RestartElevated;
}

}  // namespace flipset
