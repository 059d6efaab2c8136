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

bool ConfigurationStore::HasConfiguration(int configurationNumber, RegistryRoot root) const
{
    return configurationNumber >= 1 &&
           !TrimmedNameOf(std::to_string(configurationNumber), root).empty();
}

int FindConfigurationNumber(const std::vector<NamedConfiguration>& configurations,
                            const std::string& name)
{
    for (const NamedConfiguration& configuration : configurations) {
        if (EqualsNoCase(configuration.name, name))
            return configuration.number;
    }
    return 0;
}

ConfigurationNameIndex::ConfigurationNameIndex(
    const std::vector<NamedConfiguration>& configurations)
{
    for (const NamedConfiguration& configuration : configurations)
        numbers_.emplace(FoldCase(configuration.name), configuration.number);
}

int ConfigurationNameIndex::Find(std::string_view name) const
{
    const auto found = numbers_.find(FoldCase(name));
    return found == numbers_.end() ? 0 : found->second;
}

int ConfigurationStore::FindConfigurationNumber(const std::string& name, RegistryRoot root) const
{
    return flipset::FindConfigurationNumber(ListConfigurations(root), name);
}

int ConfigurationStore::AllocateConfigurationNumber(RegistryRoot root) const
{
    return AllocateConfigurationNumbers(1, root).front();
}

std::vector<int> ConfigurationStore::AllocateConfigurationNumbers(size_t count,
                                                                  RegistryRoot root) const
{
    StringList subkeys = registry_.EnumSubKeys(kConfigurationsKey, root);
    // With k subkeys, the count smallest unused numbers are at most k +
    // count, so only the numbers up to that need marking; and none exceeds
    // the largest number in use plus count, so no "max + 1" can overflow
    // when a key is named 2147483647.
    std::vector<bool> used(subkeys.size() + count + 1, false);
    for (const std::string& subkey : subkeys) {
        const int number = LeadingNumber(subkey);
        if (number > 0 && static_cast<size_t>(number) < used.size())
            used[static_cast<size_t>(number)] = true;
    }
    std::vector<int> numbers;
    for (size_t candidate = 1; numbers.size() < count && candidate < used.size(); ++candidate) {
        if (!used[candidate])
            numbers.push_back(static_cast<int>(candidate));
    }
    return numbers;
}

std::vector<NamedConfiguration> ConfigurationStore::ListConfigurations(RegistryRoot root) const
{
    StringList subkeys = registry_.EnumSubKeys(kConfigurationsKey, root);
    std::vector<NamedConfiguration> configurations;
    for (const std::string& subkey : subkeys) {
        if (subkey.empty())
            continue;
        std::string name = TrimmedNameOf(subkey, root);
        if (!name.empty())
            configurations.push_back({LeadingNumber(subkey), std::move(name)});
    }
    return configurations;
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
