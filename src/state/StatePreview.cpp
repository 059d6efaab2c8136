#include "state/StatePreview.h"

#include "engine/ConnectionSettings.h"
#include "engine/DesktopSettings.h"
#include "engine/NetworkPhase.h"
#include "engine/ProxySettings.h"
#include "engine/RunContext.h"
#include "engine/SystemFiles.h"
#include "network/CardInventory.h"
#include "network/CardReadBack.h"
#include "network/Location.h"
#include "network/NetshCommands.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

#include <map>
#include <utility>

namespace flipset {

namespace {

constexpr const char* kArrow = " -> ";
constexpr const char* kNone = "(none)";
constexpr uint32_t kExpandString = 2;  // REG_EXPAND_SZ
// A card settings key without "Disabled" keeps its card disabled.
constexpr uint32_t kDefaultCardDisabled = 1;

ValueState TextValue(const std::string& name, const std::string& text)
{
    ValueState state;
    state.name = name;
    state.present = true;
    state.value = RegistryValue::String(text);
    return state;
}

const ValueState* FindState(const std::vector<ValueState>& values, const std::string& name)
{
    for (const ValueState& value : values) {
        if (EqualsNoCase(value.name, name))
            return &value;
    }
    return nullptr;
}

ValueState* FindState(std::vector<ValueState>& values, const std::string& name)
{
    return const_cast<ValueState*>(FindState(std::as_const(values), name));
}

void SetValueState(std::vector<ValueState>& values, const ValueState& state)
{
    if (ValueState* known = FindState(values, state.name))
        *known = state;
}

std::string WithoutTrailingZeros(const ByteArray& data)
{
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

std::string ValueText(const ValueState& state)
{
    if (!state.present)
        return kNone;
    const RegistryValue& value = state.value;
    switch (value.type) {
    case static_cast<uint32_t>(RegistryValueType::String):
    case kExpandString:
        return "\"" + WithoutTrailingZeros(value.data) + "\"";
    case static_cast<uint32_t>(RegistryValueType::Dword):
        if (value.data.size() == 4) {
            uint32_t number = 0;
            for (int i = 0; i < 4; ++i)
                number |= static_cast<uint32_t>(value.data[i]) << (8 * i);
            return std::to_string(number);
        }
        break;
    case static_cast<uint32_t>(RegistryValueType::MultiString): {
        std::string text;
        std::string entry;
        for (unsigned char c : value.data) {
            if (c != 0) {
                entry += static_cast<char>(c);
            } else if (!entry.empty()) {
                text += (text.empty() ? "" : ", ") + entry;
                entry.clear();
            }
        }
        return text.empty() ? "(empty list)" : text;
    }
    default:
        break;
    }
    return std::to_string(value.data.size()) + " bytes";
}

void CompareValues(const std::string& label, const ValueState& before, const ValueState& after,
                   StringList& lines)
{
    if (!(before == after))
        lines.push_back(label + ": " + ValueText(before) + kArrow + ValueText(after));
}

StringList SplitLines(const std::string& bytes)
{
    StringList lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string LineCount(const FileState& file)
{
    if (!file.exists)
        return "missing";
    const size_t count = SplitLines(file.bytes).size();
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

// The lines of one that the other does not hold, as many times as it lacks
// them, in the order of the first.
StringList LinesMissingFrom(const StringList& from, const StringList& other)
{
    std::map<std::string, int> available;
    for (const std::string& line : other)
        ++available[line];
    StringList missing;
    for (const std::string& line : from) {
        if (available[line] > 0)
            --available[line];
        else
            missing.push_back(line);
    }
    return missing;
}

StringList FileChanges(const MachineState& before, const MachineState& after)
{
    StringList lines;
    for (const FileState& old : before.files) {
        for (const FileState& now : after.files) {
            if (now.fileName != old.fileName || now == old)
                continue;
            lines.push_back(old.fileName + ": " + LineCount(old) + kArrow + LineCount(now));
            const StringList oldLines = SplitLines(old.bytes);
            const StringList newLines = SplitLines(now.bytes);
            const StringList added = LinesMissingFrom(newLines, oldLines);
            const StringList removed = LinesMissingFrom(oldLines, newLines);
            for (const std::string& line : removed)
                lines.push_back("  - " + line);
            for (const std::string& line : added)
                lines.push_back("  + " + line);
            if (added.empty() && removed.empty() && old.exists && now.exists)
                lines.push_back("  the same lines with other bytes (line ends or spacing)");
        }
    }
    return lines;
}

StringList DesktopChanges(const DesktopState& before, const DesktopState& after)
{
    StringList lines;
    for (const ValueState& old : before.values) {
        for (const ValueState& now : after.values) {
            if (EqualsNoCase(old.name, now.name))
                CompareValues("Desktop " + old.name, old, now, lines);
        }
    }
    if (before.hasVolume && after.hasVolume && before.volume != after.volume)
        lines.push_back("Volume: " + std::to_string(before.volume) + kArrow +
                        std::to_string(after.volume));
    CompareValues("Default printer", before.printer, after.printer, lines);
    return lines;
}

std::string ProxyText(const ProxyState& proxy, const char* name)
{
    const ValueState* value = FindState(proxy.settings, name);
    return value && value->present ? WithoutTrailingZeros(value->value.data) : std::string();
}

// "off", or the server, then the bypass list and the script when they are
// set: what the user set, in a few words.
std::string ProxySummary(const ProxyState& proxy)
{
    const ValueState* enable = FindState(proxy.settings, kProxyEnableValue);
    uint32_t number = 0;
    const bool on = enable && enable->present && enable->value.AsDword(number) && number != 0;
    std::string text = on ? ProxyText(proxy, kProxyServerValue) : "off";
    if (on && text.empty())
        text = "(no server)";
    const std::string bypass = ProxyText(proxy, kProxyOverrideValue);
    if (on && !bypass.empty())
        text += ", bypass " + bypass;
    const std::string script = ProxyText(proxy, kAutoConfigUrlValue);
    if (!script.empty())
        text += ", script " + script;
    return text;
}

// The record without its change counter, which every write moves on.
bool SameRecordContent(const ValueState& before, const ValueState& after)
{
    if (before == after)
        return true;
    ConnectionSettings old;
    ConnectionSettings now;
    if (!before.present || !after.present || !DecodeConnectionSettings(before.value.data, old) ||
        !DecodeConnectionSettings(after.value.data, now) || before.value.type != after.value.type)
        return false;
    now.counter = old.counter;
    return old == now;
}

StringList ProxyChanges(const ProxyState& before, const ProxyState& after)
{
    StringList lines;
    const std::string oldSummary = ProxySummary(before);
    const std::string newSummary = ProxySummary(after);
    if (oldSummary != newSummary) {
        lines.push_back("Proxy: " + oldSummary + kArrow + newSummary);
        return lines;
    }
    for (const ValueState& old : before.settings) {
        if (const ValueState* now = FindState(after.settings, old.name))
            CompareValues("Proxy " + old.name, old, *now, lines);
    }
    if (!SameRecordContent(before.record, after.record))
        CompareValues("Proxy " + before.record.name, before.record, after.record, lines);
    return lines;
}

std::string CardLabel(const CardState& card)
{
    return card.description.empty() ? "Card " + card.cardNumber : card.description;
}

// What a value of a card's adapter shows: "(not listed)" for an adapter
// that was not, "DHCP" where DHCP gives it, the value or "none" otherwise.
struct AdapterValueText {
    const char* name;
    std::string (*text)(const CardTcpip& tcpip);
};

const AdapterValueText kAdapterValues[] = {
    {"addresses",
     [](const CardTcpip& t) { return t.dhcp ? std::string("DHCP") : AddressesText(t.addresses); }},
    {"gateway",
     [](const CardTcpip& t) {
         return t.dhcp ? std::string("DHCP")
                       : JoinTexts(t.gateway ? StringList{DottedAddress(t.gateway)} : StringList());
     }},
    {"DNS servers",
     [](const CardTcpip& t) {
         return t.dnsFromDhcp ? std::string("DHCP") : JoinTexts(t.dnsServers);
     }},
    {"DNS suffix", [](const CardTcpip& t) { return "\"" + t.suffix + "\""; }},
};

void CompareAdapters(const std::string& label, const AdapterState& before,
                     const AdapterState& after, StringList& lines)
{
    if (!before.listed && !after.listed)
        return;
    for (const AdapterValueText& value : kAdapterValues) {
        const std::string old = before.listed ? value.text(before.tcpip) : "(not listed)";
        const std::string now = after.listed ? value.text(after.tcpip) : "(not listed)";
        if (old != now)
            lines.push_back(label + " " + value.name + ": " + old + kArrow + now);
    }
}

StringList CardChanges(const std::vector<CardState>& before, const std::vector<CardState>& after)
{
    StringList lines;
    for (const CardState& old : before) {
        for (const CardState& now : after) {
            if (now.cardNumber != old.cardNumber)
                continue;
            if (old.enabled != now.enabled)
                lines.push_back(CardLabel(old) + ": " + (old.enabled ? "enabled" : "disabled") +
                                kArrow + (now.enabled ? "enabled" : "disabled"));
            for (const ValueState& oldValue : old.interfaceValues) {
                for (const ValueState& newValue : now.interfaceValues) {
                    if (EqualsNoCase(oldValue.name, newValue.name))
                        CompareValues(CardLabel(old) + " " + oldValue.name, oldValue, newValue,
                                      lines);
                }
            }
            if (old.adapter && now.adapter)
                CompareAdapters(CardLabel(old), *old.adapter, *now.adapter, lines);
        }
    }
    return lines;
}

StringList ServiceChanges(const std::vector<ServiceRunState>& before,
                          const std::vector<ServiceRunState>& after)
{
    StringList lines;
    for (const ServiceRunState& old : before) {
        for (const ServiceRunState& now : after) {
            if (EqualsNoCase(old.name, now.name) && old.running != now.running)
                lines.push_back("Service " + old.name + ": " +
                                (old.running ? "running" : "stopped") + kArrow +
                                (now.running ? "running" : "stopped"));
        }
    }
    return lines;
}

struct AreaChanges {
    const char* area;
    bool inScope;
    StringList lines;
};

std::vector<AreaChanges> ChangesByArea(const MachineState& before, const MachineState& after)
{
    StringList startPage;
    if (before.hasStartPage && after.hasStartPage)
        CompareValues("Start page", before.startPage, after.startPage, startPage);
    return {
        {"files", before.hasFiles && after.hasFiles, FileChanges(before, after)},
        {"desktop", before.hasDesktop && after.hasDesktop,
         before.hasDesktop && after.hasDesktop ? DesktopChanges(before.desktop, after.desktop)
                                               : StringList()},
        {"proxy", before.hasProxy && after.hasProxy,
         before.hasProxy && after.hasProxy ? ProxyChanges(before.proxy, after.proxy)
                                           : StringList()},
        {"start page", before.hasStartPage && after.hasStartPage, startPage},
        {"network cards", before.hasCards && after.hasCards,
         CardChanges(before.cards, after.cards)},
        {"services", before.hasServices && after.hasServices,
         ServiceChanges(before.services, after.services)},
    };
}

const char* SystemFileValueName(const std::string& fileName)
{
    return fileName == kLmhostsFileName ? ConfigurationValue::kLMHostfile
                                        : ConfigurationValue::kHostfile;
}

// The selected configuration, resolved once for all of a preview's reads.
struct SelectedConfiguration {
    std::string path;
    COpenKey key;
};

SelectedConfiguration OpenSelectedConfiguration(const RunContext& ctx)
{
    SelectedConfiguration selected;
    selected.path = ctx.ConfigurationKey();
    selected.key = ctx.Registry().OpenForReading(selected.path, ctx.ConfigurationRoot());
    return selected;
}

void PredictDesktop(const COpenKey& configuration, DesktopState& desktop)
{
    for (const char* name : kOldWallpaperValues) {
        ValueState removed;
        removed.name = name;
        SetValueState(desktop.values, removed);
    }
    std::string style;
    std::string tile;
    if (WallpaperLayoutTexts(configuration.ReadDword(ConfigurationValue::kWallpaperPosition,
                                                     kDefaultWallpaperPosition),
                             style, tile)) {
        SetValueState(desktop.values, TextValue(kWallpaperStyleValue, style));
        SetValueState(desktop.values, TextValue(kTileWallpaperValue, tile));
    }
    SetValueState(desktop.values, TextValue(kWallpaperValue, configuration.ReadString(
                                                                 ConfigurationValue::kWallpaper, "")));
    if (desktop.hasVolume)
        desktop.volume = configuration.ReadDword(ConfigurationValue::kVolume, kDefaultVolume);
    const std::string printer = configuration.ReadString(ConfigurationValue::kDefaultPrinter, "");
    if (!printer.empty())
        desktop.printer = TextValue(kDefaultPrinterValue, printer);
}

void PredictProxy(const RunContext& ctx, ProxyState& proxy)
{
    ProxySetting setting;
    if (!ReadProxySetting(ctx, setting))
        return;
    for (const ProxyWrite& write :
         PlannedProxyWrites(setting, proxy.record.present ? &proxy.record.value : nullptr)) {
        ValueState state;
        state.name = write.name;
        state.present = !write.remove;
        if (state.present)
            state.value = write.value;
        if (EqualsNoCase(state.name, proxy.record.name))
            proxy.record = state;
        else
            SetValueState(proxy.settings, state);
    }
}

void PredictCard(const RunContext& ctx, const std::string& configurationKey, CardState& card)
{
    const CRegistry registry = ctx.Registry();
    // Without a device instance the card's state cannot be told, nor set.
    if (GetCardPnpInstanceId(registry, card.cardNumber).empty())
        return;
    // The card loop takes a card down first, whatever happens after.
    card.enabled = false;
    if (card.serviceName.empty())
        return;
    const COpenKey cardSettings =
        registry.OpenForReading(configurationKey + "\\" + card.cardNumber, ctx.ConfigurationRoot());
    for (const TcpipWrite& write : PlannedCardTcpip(cardSettings)) {
        ValueState state;
        state.name = write.name;
        state.present = !write.remove;
        if (state.present)
            state.value = write.value;
        SetValueState(card.interfaceValues, state);
    }
    card.enabled = cardSettings.ReadDword(CardValue::kDisabled, kDefaultCardDisabled) == 0;
}

// The card loop on the live adapters (RunNetworkPhaseOnAdapters), step by
// step, over the cards whose adapters the state holds: a card kept disabled
// is disabled and its adapter no longer listed; a card to be enabled is
// enabled, and then set when its adapter is listed and it has an address
// to set.
void PredictCardsOnAdapters(const RunContext& ctx, const SelectedConfiguration& selected,
                            std::vector<CardState>& cards)
{
    const CRegistry registry = ctx.Registry();
    for (const std::string& cardNumber : selected.key.SubKeyNames()) {
        const COpenKey cardSettings =
            registry.OpenForReading(selected.path + "\\" + cardNumber, ctx.ConfigurationRoot());
        CardTcpip wanted = ReadCardTcpip(cardSettings);
        const bool keptDisabled =
            cardSettings.ReadDword(CardValue::kDisabled, kDefaultCardDisabled) != 0;
        const AdapterCard resolved = ResolveAdapterCard(registry, cardNumber, wanted.adapterGuid);
        if (resolved.guid.empty())
            continue;
        for (CardState& card : cards) {
            if (!card.adapter || card.cardNumber != resolved.number)
                continue;
            AdapterState& adapter = *card.adapter;
            if (keptDisabled) {
                if (card.enabled)
                    adapter = AdapterState{false, CardTcpip()};
                card.enabled = false;
            } else {
                // A disabled card's adapter shows once the card is enabled.
                const bool listed = adapter.listed || !card.enabled;
                card.enabled = true;
                if (listed && HasAddressToSet(wanted)) {
                    wanted.adapterGuid = resolved.guid;
                    adapter = AdapterState{true, AsAdapterShowsIt(wanted)};
                }
            }
            adapter.tcpip.adapterGuid = resolved.guid;
        }
    }
}

void PredictServices(const COpenKey& configuration, std::vector<ServiceRunState>& services)
{
    const auto setListed = [&](const char* valueName, bool running) {
        StringList entries;
        if (!configuration.ReadCodedList(valueName, entries))
            return;
        for (const std::string& name : entries) {
            for (ServiceRunState& service : services) {
                if (EqualsNoCase(service.name, name))
                    service.running = running;
            }
        }
    };
    setListed(ConfigurationValue::kServicesStop, false);
    setListed(ConfigurationValue::kServicesStart, true);
}

MachineState PredictRunOf(const RunContext& ctx, const SelectedConfiguration& selected,
                          const MachineState& before)
{
    const COpenKey& configuration = selected.key;
    MachineState after = before;
    for (FileState& file : after.files) {
        StringList strings;
        if (configuration.ReadList(SystemFileValueName(file.fileName), strings) &&
            !strings.empty()) {
            file.exists = true;
            file.bytes = SystemFileContent(strings);
        }
    }
    if (after.hasDesktop)
        PredictDesktop(configuration, after.desktop);
    if (after.hasProxy)
        PredictProxy(ctx, after.proxy);
    if (after.hasStartPage) {
        const std::string address =
            Trim(configuration.ReadString(ConfigurationValue::kStartPage, ""));
        if (!address.empty())
            after.startPage = TextValue(kStartPageValue, address);
    }
    for (CardState& card : after.cards) {
        if (!card.adapter)
            PredictCard(ctx, selected.path, card);
    }
    PredictCardsOnAdapters(ctx, selected, after.cards);
    PredictServices(configuration, after.services);
    return after;
}

}  // namespace

MachineState PredictRun(const RunContext& ctx, const MachineState& before)
{
    return PredictRunOf(ctx, OpenSelectedConfiguration(ctx), before);
}

StringList DescribeChanges(const MachineState& before, const MachineState& after)
{
    StringList lines;
    for (const AreaChanges& area : ChangesByArea(before, after))
        lines.insert(lines.end(), area.lines.begin(), area.lines.end());
    return lines;
}

StringList PreviewRun(const RunContext& ctx, const MachineState& before)
{
    const SelectedConfiguration selected = OpenSelectedConfiguration(ctx);
    const std::vector<AreaChanges> areas =
        ChangesByArea(before, PredictRunOf(ctx, selected, before));
    StringList lines;
    for (const AreaChanges& area : areas)
        lines.insert(lines.end(), area.lines.begin(), area.lines.end());
    for (const AreaChanges& area : areas) {
        if (area.inScope && area.lines.empty())
            lines.push_back(std::string("No change: ") + area.area);
    }
    StringList programs;
    if (ctx.Host().IsOptionChecked(Area::Programs) &&
        selected.key.ReadCodedList(ConfigurationValue::kPrograms, programs)) {
        for (const std::string& entry : programs)
            lines.push_back("Cannot be undone: starts " + entry);
    }
    if (lines.empty())
        lines.push_back("The run would change nothing.");
    // Where the configuration would run by itself, whatever the run changes.
    const Location location = ReadLocation(selected.key);
    if (location.mode != LocationMode::Off || !location.faults.empty())
        lines.push_back("Location: " + DescribeLocation(location));
    return lines;
}

}  // namespace flipset
