#include "transfer/ConfigurationSnapshot.h"

#include "base/Text.h"
#include "network/CardInventory.h"
#include "store/ConfigurationStore.h"

namespace flipset {

namespace {

std::vector<NamedValue> ReadValues(CRegistry registry, const std::string& path, RegistryRoot root)
{
    StringList names;
    names = registry.EnumValueNames(path, root);
    std::vector<NamedValue> values;
    for (const std::string& name : names) {
        NamedValue named{name, {}};
        if (registry.ReadValue(path, name, named.value, root))
            values.push_back(std::move(named));
    }
    return values;
}

bool WriteValues(CRegistry registry, const std::string& path, RegistryRoot root,
                 const std::vector<NamedValue>& values)
{
    bool written = true;
    for (const NamedValue& named : values)
        written = registry.WriteValue(path, named.name, named.value, root) && written;
    return written;
}

}  // namespace

const RegistryValue* FindValue(const std::vector<NamedValue>& values, const std::string& name)
{
    for (const NamedValue& named : values) {
        if (EqualsNoCase(named.name, name))
            return &named.value;
    }
    return nullptr;
}

ConfigurationSnapshot ReadConfigurationSnapshot(CRegistry registry, int configurationNumber,
                                                RegistryRoot root)
{
    const std::string path = ConfigurationKeyPath(configurationNumber);
    ConfigurationSnapshot snapshot;
    snapshot.values = ReadValues(registry, path, root);
    StringList cardNumbers;
    cardNumbers = registry.EnumSubKeys(path, root);
    for (const std::string& cardNumber : cardNumbers) {
        CardSnapshot card;
        card.cardNumber = cardNumber;
        card.description = GetCardDescription(registry, cardNumber);
        card.values = ReadValues(registry, path + "\\" + cardNumber, root);
        snapshot.cards.push_back(std::move(card));
    }
    return snapshot;
}

bool WriteConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                const ConfigurationSnapshot& snapshot)
{
    const std::string path = ConfigurationKeyPath(configurationNumber);
    bool written = WriteValues(registry, path, root, snapshot.values);
    for (const CardSnapshot& card : snapshot.cards) {
        const std::string cardPath = path + "\\" + card.cardNumber;
        if (card.values.empty())
            written = registry.OpenKeyForWrite(cardPath, root) != nullptr && written;
        else
            written = WriteValues(registry, cardPath, root, card.values) && written;
    }
    return written;
}

}  // namespace flipset
