// The configurations as a whole: where they live, how they are numbered,
// named, found, listed and deleted. The individual values of a configuration
// (ConfigurationSchema.h) are written by the editors and read by the run.
//
// A configuration is the subkey n of the configurations key, n in decimal
// from 1; 0 means "none" everywhere. Its key comes into being with the first
// value written below it.
#pragma once

#include "base/Text.h"
#include "store/ConfigurationSchema.h"
#include "store/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace flipset {

// The root of the configurations and of the per-user program settings for a
// settings-root choice (the stored "UserSettings"): 0 shares them among all
// users of the machine, any other number gives each user his own.
RegistryRoot ConfigurationRoot(uint32_t settingsRootChoice);

// The configuration key of number n, below the configuration root.
std::string ConfigurationKeyPath(int configurationNumber);

// A configuration as the list shows it: its number and trimmed name.
struct NamedConfiguration {
    int number;
    std::string name;
};

// The number of the first configuration in the list whose name equals the
// name ignoring case; 0 when there is none. The name is compared as given.
int FindConfigurationNumber(const std::vector<NamedConfiguration>& configurations,
                            const std::string& name);

// The same lookup for a caller with many names (an import of thousands of
// configurations): Find answers as FindConfigurationNumber over the list it
// was made from, without walking the list.
class ConfigurationNameIndex {
public:
    explicit ConfigurationNameIndex(const std::vector<NamedConfiguration>& configurations);
    int Find(std::string_view name) const;

private:
    std::unordered_map<std::string, int> numbers_;  // by folded name; the first of equal names
};

class ConfigurationStore {
public:
    explicit ConfigurationStore(CRegistry registry) : registry_(registry) {}

    // The number of the first configuration, in enumeration order, whose
    // trimmed "Name" equals the name ignoring case; 0 when there is none.
    // The name is compared as given: callers trim it.
    int FindConfigurationNumber(const std::string& name, RegistryRoot root) const;

    // Whether configuration number n exists now: its key has a non-blank
    // "Name".
    bool HasConfiguration(int configurationNumber, RegistryRoot root) const;

    // The smallest number that no subkey of the configurations key uses,
    // whether or not that subkey has a "Name".
    int AllocateConfigurationNumber(RegistryRoot root) const;
    // The count smallest such numbers, ascending: what count configurations
    // created one after the other get, found with one pass over the keys.
    std::vector<int> AllocateConfigurationNumbers(size_t count, RegistryRoot root) const;

    // Every configuration with a non-blank name, in enumeration order: for
    // callers that look up many names, with one pass over the keys.
    std::vector<NamedConfiguration> ListConfigurations(RegistryRoot root) const;

    // The trimmed, non-blank names of all configurations, in no particular
    // order.
    StringList ListConfigurationNames(RegistryRoot root) const;

    // Writes "Name", creating the configuration key when it is new; true when
    // written. Does nothing for a number below 1.
    bool SetConfigurationName(int configurationNumber, const std::string& name,
                              RegistryRoot root) const;

    // Deletes the configuration key with its card settings keys; the other
    // configurations keep their numbers; true when the key was deleted. Does
    // nothing for a number below 1.
    bool DeleteConfiguration(int configurationNumber, RegistryRoot root) const;

private:
    // The configuration's trimmed "Name"; empty when it has none.
    std::string TrimmedNameOf(const std::string& subkeyName, RegistryRoot root) const;

    CRegistry registry_;
};

}  // namespace flipset
