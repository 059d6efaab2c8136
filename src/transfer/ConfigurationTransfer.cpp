#include "transfer/ConfigurationTransfer.h"

#include "network/CardInventory.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"
#include "transfer/ConfigurationFile.h"
#include "transfer/ConfigurationSnapshot.h"

#include <algorithm>
#include <map>
#include <utility>

namespace flipset {

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

TransferResult Failure(TransferStatus status, std::string line)
{
    TransferResult result;
    result.status = status;
    result.lines.push_back("error: " + std::move(line));
    return result;
}

void SetName(ConfigurationSnapshot& snapshot, const std::string& name)
{
    RegistryValue value{static_cast<uint32_t>(RegistryValueType::String),
                        ByteArray(name.begin(), name.end())};
    value.data.push_back(0);
    for (NamedValue& named : snapshot.values) {
        if (EqualsNoCase(named.name, ConfigurationValue::kName)) {
            named.value = std::move(value);
            return;
        }
    }
    snapshot.values.insert(snapshot.values.begin(), {ConfigurationValue::kName, std::move(value)});
}

// The configuration keys whose names are numbers as the store writes them,
// in the order of their numbers.
std::vector<int> ConfigurationNumbers(CRegistry registry, RegistryRoot root)
{
    StringList subkeys;
    subkeys = registry.EnumSubKeys(kConfigurationsKey, root);
    std::vector<int> numbers;
    for (const std::string& subkey : subkeys) {
        const int number = LeadingNumber(subkey);
        if (number > 0 && std::to_string(number) == subkey)
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// This machine's card for a card of the file: the same description, exactly
// or else ignoring case; among several, the one with the card's old number.
// Empty when none matches.
std::string MatchCard(const std::vector<NetworkCard>& cards, const CardSnapshot& card)
{
    if (card.description.empty())
        return std::string();
    for (bool exact : {true, false}) {
        std::string match;
        for (const NetworkCard& local : cards) {
            const bool same = exact ? local.description == card.description
                                    : EqualsNoCase(local.description, card.description);
            if (!same)
                continue;
            if (local.number == card.cardNumber)
                return local.number;
            if (match.empty())
                match = local.number;
        }
        if (!match.empty())
            return match;
    }
    return std::string();
}

// The adapter GUIDs ("ServiceName") of this machine's cards, each read once
// however many configurations hold the card.
class ServiceNames {
public:
    explicit ServiceNames(CRegistry registry) : registry_(registry) {}

    const std::string& Of(const std::string& cardNumber)
    {
        const auto known = names_.find(cardNumber);
        if (known != names_.end())
            return known->second;
        return names_[cardNumber] = GetCardServiceName(registry_, cardNumber);
    }

private:
    CRegistry registry_;
    std::map<std::string, std::string> names_;
};

// A card of the file stands for the local card it matched: its adapter GUID
// is that card's, never the one of the machine the file came from; none
// when the local card has none.
void BindToAdapter(CardSnapshot& card, const std::string& serviceName)
{
    auto& values = card.values;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [](const NamedValue& value) {
                                    return EqualsNoCase(value.name, CardValue::kAdapterGuid);
                                }),
                 values.end());
    if (!serviceName.empty())
        values.push_back({CardValue::kAdapterGuid, RegistryValue::String(serviceName)});
}

}  // namespace

ConfigurationTransfer::ConfigurationTransfer(CRegistry registry, RegistryRoot root,
                                             const CodePageConverter& codePage, FileAccess& files)
    : registry_(registry), root_(root), codePage_(codePage), files_(files)
{
}

TransferResult ConfigurationTransfer::Export(const std::string& path, const StringList& names) const
{
    std::vector<int> numbers;
    if (names.empty()) {
        numbers = ConfigurationNumbers(registry_, root_);
    } else {
        const ConfigurationNameIndex existing(
            ConfigurationStore(registry_).ListConfigurations(root_));
        TransferResult missing;
        for (const std::string& name : names) {
            const int number = existing.Find(Trim(name));
            if (number == 0)
                missing.lines.push_back("error: no configuration has the name " +
                                        Quoted(Trim(name)));
            else if (std::find(numbers.begin(), numbers.end(), number) == numbers.end())
                numbers.push_back(number);
        }
        if (!missing.lines.empty()) {
            missing.status = TransferStatus::NoSuchConfiguration;
            return missing;
        }
    }
    const std::vector<NetworkCard> machineCards = ListNetworkCards(registry_);
    std::vector<ConfigurationSnapshot> snapshots;
    for (int number : numbers) {
        ConfigurationSnapshot snapshot =
            ReadConfigurationSnapshot(registry_, number, root_, machineCards);
        // A key without a name is no configuration the user can see.
        if (!SnapshotName(snapshot).empty())
            snapshots.push_back(std::move(snapshot));
    }
    std::string document;
    std::string reason;
    if (!WriteConfigurationFile(snapshots, codePage_, document, reason))
        return Failure(TransferStatus::FileFault, path + ": " + reason);
    if (!files_.WriteWholeFile(path, document, reason))
        return Failure(TransferStatus::FileFault, path + ": cannot be written: " + reason);
    TransferResult result;
    result.lines.push_back("exported " + std::to_string(snapshots.size()) +
                           (snapshots.size() == 1 ? " configuration to " : " configurations to ") +
                           path);
    return result;
}

TransferResult ConfigurationTransfer::Import(const std::string& path, bool replace) const
{
    std::string document;
    std::string reason;
    if (!files_.ReadWholeFile(path, document, reason))
        return Failure(TransferStatus::FileFault, path + ": cannot be read: " + reason);
    std::vector<ConfigurationSnapshot> snapshots;
    if (!ReadConfigurationFile(document, codePage_, snapshots, reason))
        return Failure(TransferStatus::FileFault, path + ": " + reason);

    // Where each goes: the number of the configuration it replaces, or 0.
    // The names and free numbers are looked up once: a file may hold
    // thousands of configurations.
    const ConfigurationStore store(registry_);
    const ConfigurationNameIndex existing(store.ListConfigurations(root_));
    std::vector<int> replaced;
    TransferResult taken;
    for (const ConfigurationSnapshot& snapshot : snapshots) {
        const int number = existing.Find(SnapshotName(snapshot));
        if (number != 0 && !replace)
            taken.lines.push_back("error: " + path + ": configuration " +
                                  Quoted(SnapshotName(snapshot)) + ": the name is already taken");
        replaced.push_back(number);
    }
    if (!taken.lines.empty()) {
        taken.status = TransferStatus::NameTaken;
        return taken;
    }

    TransferResult result;
    const std::vector<NetworkCard> localCards = ListNetworkCards(registry_);
    ServiceNames serviceNames(registry_);
    for (ConfigurationSnapshot& snapshot : snapshots) {
        std::vector<CardSnapshot> matched;
        for (CardSnapshot& card : snapshot.cards) {
            const std::string local = MatchCard(localCards, card);
            const bool twice =
                std::any_of(matched.begin(), matched.end(),
                            [&local](const CardSnapshot& m) { return m.cardNumber == local; });
            if (local.empty() || twice) {
                result.lines.push_back(
                    "configuration " + Quoted(SnapshotName(snapshot)) + ": card " +
                    Quoted(card.description) +
                    (local.empty() ? " has no match on this machine; it is not imported"
                                   : " matches the same card as another; it is not imported"));
                continue;
            }
            card.cardNumber = local;
            BindToAdapter(card, serviceNames.Of(local));
            matched.push_back(std::move(card));
        }
        snapshot.cards = std::move(matched);
    }

    // Written one by one; a failed write puts back what was there before.
    const std::vector<int> freeNumbers = store.AllocateConfigurationNumbers(
        static_cast<size_t>(std::count(replaced.begin(), replaced.end(), 0)), root_);
    size_t nextFree = 0;
    struct Undo {
        int number;
        bool replaced;
        ConfigurationSnapshot before;
    };
    std::vector<Undo> undo;
    for (size_t i = 0; i < snapshots.size(); ++i) {
        const int number = replaced[i] != 0 ? replaced[i] : freeNumbers[nextFree++];
        undo.push_back({number, replaced[i] != 0, {}});
        const bool written =
            replaced[i] != 0 ? ReplaceConfigurationSnapshot(registry_, number, root_, snapshots[i],
                                                            undo.back().before)
                             : WriteConfigurationSnapshot(registry_, number, root_, snapshots[i]);
        if (!written) {
            for (auto it = undo.rbegin(); it != undo.rend(); ++it) {
                ConfigurationSnapshot ignored;
                if (it->replaced)
                    ReplaceConfigurationSnapshot(registry_, it->number, root_, it->before, ignored);
                else
                    store.DeleteConfiguration(it->number, root_);
            }
            return Failure(TransferStatus::FileFault,
                           path + ": configuration " + Quoted(SnapshotName(snapshots[i])) +
                               " could not be written to the registry; nothing was imported");
        }
        result.name = SnapshotName(snapshots[i]);
        result.number = number;
        result.lines.push_back(
            (replaced[i] != 0 ? "replaced configuration " : "imported configuration ") +
            Quoted(result.name) + " as number " + std::to_string(number));
    }
    return result;
}

TransferResult ConfigurationTransfer::Duplicate(const std::string& name) const
{
    const ConfigurationStore store(registry_);
    const int source = store.FindConfigurationNumber(Trim(name), root_);
    if (source == 0)
        return Failure(TransferStatus::NoSuchConfiguration,
                       "no configuration has the name " + Quoted(Trim(name)));
    ConfigurationSnapshot snapshot =
        ReadConfigurationSnapshot(registry_, source, root_, ListNetworkCards(registry_));
    const std::string sourceName = SnapshotName(snapshot);
    const std::string copyName = UniqueCopyName(registry_, root_, sourceName);
    SetName(snapshot, copyName);
    const int number = store.AllocateConfigurationNumber(root_);
    if (!WriteConfigurationSnapshot(registry_, number, root_, snapshot)) {
        store.DeleteConfiguration(number, root_);
        return Failure(TransferStatus::FileFault, "configuration " + Quoted(copyName) +
                                                      " could not be written to the registry");
    }
    TransferResult result;
    result.name = copyName;
    result.number = number;
    result.lines.push_back("copied configuration " + Quoted(sourceName) + " to " +
                           Quoted(copyName) + " as number " + std::to_string(number));
    return result;
}

std::string UniqueCopyName(CRegistry registry, RegistryRoot root, const std::string& name)
{
    const ConfigurationNameIndex existing(ConfigurationStore(registry).ListConfigurations(root));
    for (int copy = 1;; ++copy) {
        const std::string suffix = copy == 1 ? " - copy" : " - copy " + std::to_string(copy);
        // The copy's name must still be readable: the original gives way.
        const std::string base = Trim(name.substr(0, kLongestText - suffix.size()));
        const std::string candidate = base + suffix;
        if (existing.Find(candidate) == 0)
            return candidate;
    }
}

}  // namespace flipset
