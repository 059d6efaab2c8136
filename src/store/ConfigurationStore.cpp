#include "store/ConfigurationStore.h"

#include <vector>

namespace flipset {

RegistryRoot ConfigurationRoot(uint32_t settingsRootChoice)
{
    return settingsRootChoice == 0 ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
}

std::string ConfigurationKeyPath(int configurationNumber)
{
    return std::string(kConfigurationsKey) + "\\" + std::to_string(configurationNumber);
}

std::string ConfigurationStore::TrimmedNameOf(const std::string& subkeyName,
                                              RegistryRoot root) const
{
    const std::string path = std::string(kConfigurationsKey) + "\\" + subkeyName;
    return Trim(registry_.ReadString(path, ConfigurationValue::kName, "", root));
}

int ConfigurationStore::FindConfigurationNumber(const std::string& name, RegistryRoot root) const
{
    StringList subkeys = registry_.EnumSubKeys(kConfigurationsKey, root);
    for (const std::string& subkey : subkeys) {
        if (subkey.empty())
            continue;
        const std::string configurationName = TrimmedNameOf(subkey, root);
        if (!configurationName.empty() && EqualsNoCase(configurationName, name))
            return LeadingNumber(subkey);
    }
    return 0;
}

int ConfigurationStore::AllocateConfigurationNumber(RegistryRoot root) const
{
    StringList subkeys = registry_.EnumSubKeys(kConfigurationsKey, root);
    // The smallest number in use by no subkey. With k subkeys it is at most
    // k + 1, so only the numbers up to k need marking; and it never exceeds
    // the largest number in use plus one, so it needs no "max + 1" that could
    // overflow when a key is named 2147483647.
    std::vector<bool> used(subkeys.size() + 1, false);
    for (const std::string& subkey : subkeys) {
        const int number = LeadingNumber(subkey);
        if (number > 0 && static_cast<size_t>(number) < used.size())
            used[static_cast<size_t>(number)] = true;
    }
    size_t candidate = 1;
    while (candidate < used.size() && used[candidate])
        ++candidate;
    return static_cast<int>(candidate);
}

StringList ConfigurationStore::ListConfigurationNames(RegistryRoot root) const
{
    StringList subkeys = registry_.EnumSubKeys(kConfigurationsKey, root);
    StringList names;
    for (const std::string& subkey : subkeys) {
        if (subkey.empty())
            continue;
        std::string name = TrimmedNameOf(subkey, root);
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

// Number 0 stands for "no configuration": naming or deleting it must not
// create a key "0" that lists a name nobody can run, nor touch the
// configurations key itself.
bool ConfigurationStore::SetConfigurationName(int configurationNumber, const std::string& name,
                                              RegistryRoot root) const
{
    if (configurationNumber < 1)
        return false;
    return registry_.WriteString(ConfigurationKeyPath(configurationNumber),
                                 ConfigurationValue::kName, name, root);
}

bool ConfigurationStore::DeleteConfiguration(int configurationNumber, RegistryRoot root) const
{
    if (configurationNumber < 1)
        return false;
    return registry_.DeleteKeyTree(ConfigurationKeyPath(configurationNumber), root);
}

}  // namespace flipset
