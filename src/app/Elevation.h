// Whether the process has administrator rights, and what follows from it:
// which actions need them, what the main window offers and what a verb does
// without them. Portable: the token is read behind Elevation.
//
// The rights are checked only where the platform reports major version 10
// or later: there a program started from the Start menu runs without them,
// while on the earlier systems every action is tried as it always was.
#pragma once

#include "app/CommandVerbs.h"
#include "engine/SystemInfo.h"
#include "store/RegistryBackend.h"

#include <optional>

namespace flipset {

class Elevation {
public:
    virtual ~Elevation() = default;
    // True when the process runs with administrator rights.
    virtual bool IsElevated() const = 0;
};

// What an action writes.
enum class Writes {
    // The configurations and the settings stored beside them, under the
    // configuration root: HKEY_CURRENT_USER needs no rights, the root shared
    // by all users does.
    Configurations,
    // The machine itself: a run, an undo, the network cards.
    Machine,
};

// True when the process runs without administrator rights on a platform
// where the program checks them.
bool LacksAdministratorRights(const SystemInfo& system, const Elevation& elevation);

// True when an action that writes there needs administrator rights that
// the process lacks.
bool LacksRightsFor(Writes writes, RegistryRoot configurationRoot, const SystemInfo& system,
                    const Elevation& elevation);

// What a verb writes: /apply and /undo the machine, /import and /capture
// the configurations; nothing for the verbs that only read.
std::optional<Writes> WritesOfVerb(Verb verb);

// What a verb does about the rights before it starts.
enum class VerbRights {
    Proceed,          // it has what it needs, or needs nothing
    Refuse,           // exits with ExitCode::NeedsRights, changing nothing
    RestartElevated,  // starts itself again through "runas" and passes on that run
};

// /quiet refuses, since a script waits for no prompt. So does a copy that
// was itself started elevated (it writes to an output file) and still lacks
// the rights: it never starts a third.
VerbRights DecideVerbRights(const VerbCommand& command, RegistryRoot configurationRoot,
                            const SystemInfo& system, const Elevation& elevation);

}  // namespace flipset
