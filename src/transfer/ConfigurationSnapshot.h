// A configuration as stored: every value of its key and of its card settings
// keys, each with its type and bytes. Copying a configuration, exporting it
// and importing it all go through this form, so that whatever is read comes
// back byte for byte.
//
// Each function opens a configuration's key and each of its card settings
// keys once, and reads a key's values in one pass over it: a file may hold
// thousands of configurations.
#pragma once

#include "network/CardInventory.h"
#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

struct CardSnapshot {
    std::string cardNumber;   // the card settings key's name
    std::string description;  // this machine's description of the card; empty when unknown
    std::vector<NamedValue> values;
};

struct ConfigurationSnapshot {
    std::vector<NamedValue> values;
    std::vector<CardSnapshot> cards;
};

// The value of that name (compared as the registry compares names), or null.
const RegistryValue* FindValue(const std::vector<NamedValue>& values, const std::string& name);

// Reads the configuration's values and its card settings keys, with each
// card's description from this machine's card list (ListNetworkCards, read
// once for any number of configurations). Subkeys of a card key are not part
// of a configuration and are not read.
ConfigurationSnapshot ReadConfigurationSnapshot(CRegistry registry, int configurationNumber,
                                                RegistryRoot root,
                                                const std::vector<NetworkCard>& machineCards);

// Writes every value into the configuration key of the number and its card
// settings keys, which should not exist beforehand. False when a write
// failed.
bool WriteConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                const ConfigurationSnapshot& snapshot);

// Makes the existing configuration key of the number hold exactly the
// snapshot, as deleting it and writing the snapshot would, in one pass over
// it: a value is written only where the key does not hold it with the same
// name, type and bytes, and deleted where the snapshot does not hold it; a
// card settings key the snapshot does not hold is deleted with its subkeys.
// before receives what the key held (cards without descriptions), so that
// the same call with it puts the key back. False when a write failed.
bool ReplaceConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                  const ConfigurationSnapshot& snapshot,
                                  ConfigurationSnapshot& before);

}  // namespace flipset
