#include "transfer/ConfigurationSnapshot.h"

#include "base/Text.h"
#include "store/ConfigurationStore.h"

#include <algorithm>

namespace flipset {

namespace {

bool WriteValues(const COpenKey& key, const std::vector<NamedValue>& values)
{
    bool written = key.IsOpen();
    for (const NamedValue& named : values)
        written = key.WriteValue(named.name, named.value) && written;
    return written;
}

// The value of exactly that name, or null.
const NamedValue* FindSpelled(const std::vector<NamedValue>& values, const std::string& name)
{
    for (const NamedValue& named : values) {
        if (named.name == name)
            return &named;
    }
    return nullptr;
}

// Makes the open key hold exactly the values; before receives what it held.
// A value held under another spelling of its name is deleted first, so that
// the name comes back as the snapshot spells it.
bool ReplaceValues(const COpenKey& key, const std::vector<NamedValue>& values,
                   std::vector<NamedValue>& before)
{
    before = key.ReadAllValues();
    bool written = key.IsOpen();
    for (const NamedValue& old : before) {
        if (!FindSpelled(values, old.name))
            written = key.DeleteValue(old.name) && written;
    }
    for (const NamedValue& named : values) {
        const NamedValue* old = FindSpelled(before, named.name);
        if (!old || !(old->value == named.value))
            written = key.WriteValue(named.name, named.value) && written;
    }
    return written;
}

std::string DescriptionOf(const std::vector<NetworkCard>& machineCards,
                          const std::string& cardNumber)
{
    // Card keys are found ignoring case, as the registry finds them.
    for (const NetworkCard& card : machineCards) {
        if (EqualsNoCase(card.number, cardNumber))
            return card.description;
    }
    return std::string();
}

// Card numbers are opaque text: a key is kept only under the very same name.
bool HoldsCard(const std::vector<CardSnapshot>& cards, const std::string& cardNumber)
{
    for (const CardSnapshot& card : cards) {
        if (card.cardNumber == cardNumber)
            return true;
    }
    return false;
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
                                                RegistryRoot root,
                                                const std::vector<NetworkCard>& machineCards)
{
    const std::string path = ConfigurationKeyPath(configurationNumber);
    ConfigurationSnapshot snapshot;
    StringList cardNumbers;
    {
        const COpenKey key = registry.OpenForReading(path, root);
        snapshot.values = key.ReadAllValues();
        cardNumbers = key.SubKeyNames();
    }
    for (const std::string& cardNumber : cardNumbers) {
        CardSnapshot card;
        card.cardNumber = cardNumber;
        card.description = DescriptionOf(machineCards, cardNumber);
        card.values = registry.OpenForReading(path + "\\" + cardNumber, root).ReadAllValues();
        snapshot.cards.push_back(std::move(card));
    }
    return snapshot;
}

bool WriteConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                const ConfigurationSnapshot& snapshot)
{
    const std::string path = ConfigurationKeyPath(configurationNumber);
    bool written = true;
    if (!snapshot.values.empty() || !snapshot.cards.empty())
        written = WriteValues(registry.OpenForWriting(path, root), snapshot.values);
    for (const CardSnapshot& card : snapshot.cards)
        written =
            WriteValues(registry.OpenForWriting(path + "\\" + card.cardNumber, root), card.values) &&
            written;
    return written;
}

bool ReplaceConfigurationSnapshot(CRegistry registry, int configurationNumber, RegistryRoot root,
                                  const ConfigurationSnapshot& snapshot,
                                  ConfigurationSnapshot& before)
{
    const std::string path = ConfigurationKeyPath(configurationNumber);
    before = ConfigurationSnapshot();
    StringList oldCards;
    bool written = true;
    {
        const COpenKey key = registry.OpenForWriting(path, root);
        written = ReplaceValues(key, snapshot.values, before.values);
        oldCards = key.SubKeyNames();
    }
    for (const std::string& cardNumber : oldCards) {
        if (HoldsCard(snapshot.cards, cardNumber))
            continue;
        CardSnapshot card;
        card.cardNumber = cardNumber;
        card.values = registry.OpenForReading(path + "\\" + cardNumber, root).ReadAllValues();
        before.cards.push_back(std::move(card));
        written = registry.DeleteKeyTree(path + "\\" + cardNumber, root) && written;
    }
    for (const CardSnapshot& card : snapshot.cards) {
        const std::string cardPath = path + "\\" + card.cardNumber;
        const COpenKey key = registry.OpenForWriting(cardPath, root);
        if (std::find(oldCards.begin(), oldCards.end(), card.cardNumber) == oldCards.end()) {
            written = WriteValues(key, card.values) && written;
            continue;
        }
        CardSnapshot old;
        old.cardNumber = card.cardNumber;
        written = ReplaceValues(key, card.values, old.values) && written;
        before.cards.push_back(std::move(old));
        // Below a card key nothing belongs to the configuration.
        for (const std::string& child : key.SubKeyNames())
            written = registry.DeleteKeyTree(cardPath + "\\" + child, root) && written;
    }
    return written;
}

}  // namespace flipset
