// A new configuration made of the machine's current state: the system files,
// the desktop, the proxy, the start page and the cards, in the form the
// editors store them (a card on its live adapter with what the adapter
// showed and its GUID; one whose adapter was not listed with its GUID and
// state only). A state has no programs to start and no services to switch,
// so those lists stay empty.
#pragma once

#include "state/MachineState.h"
#include "transfer/ConfigurationSnapshot.h"

#include <optional>
#include <string>
#include <string_view>

namespace flipset {

// The configuration's values for the state, named name.
ConfigurationSnapshot ConfigurationOfState(const MachineState& state, const std::string& name);

enum class NewConfigurationStatus { Done, BadName, NameTaken, WriteFailed };

struct NewConfigurationResult {
    NewConfigurationStatus status = NewConfigurationStatus::Done;
    std::string message;  // what was done, or why nothing was
    int number = 0;
};

// Stores the state as a new configuration under the trimmed name, which
// must be non-blank, storable, of the typed-name characters only where the
// name was typed into a dialog (none given: a name from the command line),
// and not taken; on any fault nothing is left written.
NewConfigurationResult StoreStateAsConfiguration(
    CRegistry registry, RegistryRoot root, std::optional<std::string_view> typedNameCharacters,
    const std::string& name, const MachineState& state);

}  // namespace flipset
