// A configuration as stored: every value of its key and of its card settings
// keys, each with its type and bytes. Copying a configuration, exporting it
// and importing it all go through this form, so that whatever is read comes
// back byte for byte.
#pragma once

#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

struct NamedValue {
    std::string name;
    RegistryValue value;
};

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
// card's description from this machine's card list. Subkeys of a card key
// are not part of a configuration and are not read.
ConfigurationSnapshot ReadConfigurationSnapshot(CRegistry registry, int configurationNumber,
                                                RegistryRoot root);

// Writes every value into the configuration key of the number and its card
// settings keys, which should not exist beforehand. False when a write
// failed.
bool WriteConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                const ConfigurationSnapshot& snapshot);

}  // namespace flipset
