#include "state/StateSnapshot.h"

#include "store/ConfigurationSchema.h"

#include <algorithm>
#include <array>
#include <utility>

namespace flipset {

namespace {

constexpr std::array<unsigned char, 4> kMagic = {'F', 'L', 'S', 'S'};
constexpr size_t kHeaderSize = 16;

uint32_t Fnv1a(const unsigned char* data, size_t size)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

class Writer {
public:
    void Number(uint32_t number)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<unsigned char>(number >> shift));
    }
    void Flag(bool flag) { bytes_.push_back(flag ? 1 : 0); }
    void Text(const std::string& text)
    {
        Number(static_cast<uint32_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    void Value(const ValueState& state)
    {
        Text(state.name);
        Flag(state.present);
        if (!state.present)
            return;
        Number(state.value.type);
        Number(static_cast<uint32_t>(state.value.data.size()));
        bytes_.insert(bytes_.end(), state.value.data.begin(), state.value.data.end());
    }
    ByteArray& Bytes() { return bytes_; }

private:
    ByteArray bytes_;
};

// Every read checks that the bytes hold what it asks for; once one fails,
// every later one fails too.
class Reader {
public:
    Reader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool Number(uint32_t& number)
    {
        if (!Has(4))
            return false;
        number = 0;
        for (int i = 0; i < 4; ++i)
            number |= static_cast<uint32_t>(data_[at_ + i]) << (8 * i);
        at_ += 4;
        return true;
    }
    bool Flag(bool& flag)
    {
        if (!Has(1) || data_[at_] > 1)
            return Fail();
        flag = data_[at_++] == 1;
        return true;
    }
    bool Text(std::string& text)
    {
        uint32_t length = 0;
        if (!Number(length) || !Has(length))
            return Fail();
        text.assign(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return true;
    }
    bool Value(ValueState& state)
    {
        state = ValueState();
        if (!Text(state.name) || !Flag(state.present))
            return false;
        if (!state.present)
            return true;
        uint32_t length = 0;
        if (!Number(state.value.type) || !Number(length) || !Has(length))
            return Fail();
        state.value.data.assign(data_ + at_, data_ + at_ + length);
        at_ += length;
        return true;
    }
    // A count of entries, each of which takes at least minimumSize bytes.
    bool Count(uint32_t& count, size_t minimumSize)
    {
        if (!Number(count) || count > (size_ - at_) / minimumSize)
            return Fail();
        return true;
    }
    bool AtEnd() const { return ok_ && at_ == size_; }

private:
    bool Has(size_t count) const { return ok_ && size_ - at_ >= count; }
    bool Fail()
    {
        ok_ = false;
        return false;
    }

    const unsigned char* data_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

void WriteAdapter(Writer& out, const AdapterState& adapter)
{
    const CardTcpip& tcpip = adapter.tcpip;
    out.Flag(adapter.listed);
    out.Flag(tcpip.dhcp);
    out.Number(static_cast<uint32_t>(tcpip.addresses.size()));
    for (const Ipv4WithMask& address : tcpip.addresses) {
        out.Number(address.address);
        out.Number(address.mask);
    }
    out.Number(tcpip.gateway);
    out.Flag(tcpip.dnsFromDhcp);
    out.Number(static_cast<uint32_t>(tcpip.dnsServers.size()));
    for (const std::string& server : tcpip.dnsServers)
        out.Text(server);
    out.Text(tcpip.suffix);
    out.Text(tcpip.adapterGuid);
}

void WriteState(Writer& out, const MachineState& state)
{
    out.Flag(state.hasFiles);
    out.Number(static_cast<uint32_t>(state.files.size()));
    for (const FileState& file : state.files) {
        out.Text(file.fileName);
        out.Text(file.path);
        out.Flag(file.exists);
        out.Text(file.bytes);
    }
    out.Flag(state.hasDesktop);
    out.Number(static_cast<uint32_t>(state.desktop.values.size()));
    for (const ValueState& value : state.desktop.values)
        out.Value(value);
    out.Value(state.desktop.printer);
    out.Flag(state.desktop.hasVolume);
    out.Number(state.desktop.volume);
    out.Flag(state.hasStartPage);
    out.Value(state.startPage);
    out.Flag(state.hasCards);
    out.Number(static_cast<uint32_t>(state.cards.size()));
    for (const CardState& card : state.cards) {
        out.Text(card.cardNumber);
        out.Text(card.description);
        out.Text(card.serviceName);
        out.Flag(card.enabled);
        out.Number(static_cast<uint32_t>(card.interfaceValues.size()));
        for (const ValueState& value : card.interfaceValues)
            out.Value(value);
    }
    out.Flag(state.hasServices);
    out.Number(static_cast<uint32_t>(state.services.size()));
    for (const ServiceRunState& service : state.services) {
        out.Text(service.name);
        out.Flag(service.running);
    }
    out.Flag(state.hasProxy);
    out.Number(static_cast<uint32_t>(state.proxy.settings.size()));
    for (const ValueState& value : state.proxy.settings)
        out.Value(value);
    out.Value(state.proxy.record);
    out.Number(static_cast<uint32_t>(state.cards.size()));
    for (const CardState& card : state.cards) {
        out.Flag(card.adapter.has_value());
        if (card.adapter)
            WriteAdapter(out, *card.adapter);
    }
}

// The smallest encoded size of each kind of entry, so that a count cannot
// ask for more entries than the bytes could hold.
constexpr size_t kMinFileSize = 13;
constexpr size_t kMinValueSize = 5;
constexpr size_t kMinCardSize = 17;
constexpr size_t kMinServiceSize = 5;
constexpr size_t kMinAddressSize = 8;
constexpr size_t kMinTextSize = 4;
constexpr size_t kMinAdapterFlagSize = 1;

bool ReadAdapter(Reader& in, AdapterState& adapter)
{
    CardTcpip& tcpip = adapter.tcpip;
    uint32_t count = 0;
    if (!in.Flag(adapter.listed) || !in.Flag(tcpip.dhcp) || !in.Count(count, kMinAddressSize))
        return false;
    tcpip.addresses.resize(count);
    for (Ipv4WithMask& address : tcpip.addresses) {
        if (!in.Number(address.address) || !in.Number(address.mask))
            return false;
    }
    if (!in.Number(tcpip.gateway) || !in.Flag(tcpip.dnsFromDhcp) || !in.Count(count, kMinTextSize))
        return false;
    tcpip.dnsServers.resize(count);
    for (std::string& server : tcpip.dnsServers) {
        if (!in.Text(server))
            return false;
    }
    return in.Text(tcpip.suffix) && in.Text(tcpip.adapterGuid);
}

bool ReadValues(Reader& in, std::vector<ValueState>& values)
{
    uint32_t count = 0;
    if (!in.Count(count, kMinValueSize))
        return false;
    values.resize(count);
    for (ValueState& value : values) {
        if (!in.Value(value))
            return false;
    }
    return true;
}

bool ReadState(Reader& in, uint32_t version, MachineState& state)
{
    uint32_t count = 0;
    if (!in.Flag(state.hasFiles) || !in.Count(count, kMinFileSize))
        return false;
    state.files.resize(count);
    for (FileState& file : state.files) {
        if (!in.Text(file.fileName) || !in.Text(file.path) || !in.Flag(file.exists) ||
            !in.Text(file.bytes))
            return false;
    }
    if (!in.Flag(state.hasDesktop) || !ReadValues(in, state.desktop.values) ||
        !in.Value(state.desktop.printer) || !in.Flag(state.desktop.hasVolume) ||
        !in.Number(state.desktop.volume))
        return false;
    if (!in.Flag(state.hasStartPage) || !in.Value(state.startPage))
        return false;
    if (!in.Flag(state.hasCards) || !in.Count(count, kMinCardSize))
        return false;
    state.cards.resize(count);
    for (CardState& card : state.cards) {
        if (!in.Text(card.cardNumber) || !in.Text(card.description) || !in.Text(card.serviceName) ||
            !in.Flag(card.enabled) || !ReadValues(in, card.interfaceValues))
            return false;
    }
    if (!in.Flag(state.hasServices) || !in.Count(count, kMinServiceSize))
        return false;
    state.services.resize(count);
    for (ServiceRunState& service : state.services) {
        if (!in.Text(service.name) || !in.Flag(service.running))
            return false;
    }
    if (version < 2)
        return true;
    if (!in.Flag(state.hasProxy) || !ReadValues(in, state.proxy.settings) ||
        !in.Value(state.proxy.record))
        return false;
    if (version < 3)
        return true;
    // One entry for each card, in the cards' order.
    if (!in.Count(count, kMinAdapterFlagSize) || count != state.cards.size())
        return false;
    for (CardState& card : state.cards) {
        bool hasAdapter = false;
        if (!in.Flag(hasAdapter))
            return false;
        if (hasAdapter && !ReadAdapter(in, card.adapter.emplace()))
            return false;
    }
    return true;
}

uint32_t HeaderNumber(const ByteArray& bytes, size_t at)
{
    uint32_t number = 0;
    for (int i = 0; i < 4; ++i)
        number |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return number;
}

}  // namespace

ByteArray EncodeSnapshot(const RunSnapshot& snapshot)
{
    Writer payload;
    payload.Text(snapshot.configurationName);
    payload.Text(snapshot.time);
    WriteState(payload, snapshot.state);
    const ByteArray& body = payload.Bytes();

    Writer out;
    out.Bytes().assign(kMagic.begin(), kMagic.end());
    out.Number(kSnapshotFormatVersion);
    out.Number(static_cast<uint32_t>(body.size()));
    out.Number(Fnv1a(body.data(), body.size()));
    out.Bytes().insert(out.Bytes().end(), body.begin(), body.end());
    return out.Bytes();
}

bool DecodeSnapshot(const ByteArray& bytes, RunSnapshot& snapshot, std::string& error)
{
    snapshot = RunSnapshot();
    if (bytes.size() < kHeaderSize || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        error = "it is not a snapshot";
        return false;
    }
    const uint32_t version = HeaderNumber(bytes, 4);
    if (version > kSnapshotFormatVersion) {
        error = "it was written by a newer version (format " + std::to_string(version) + ")";
        return false;
    }
    if (version == 0) {
        error = "it is not a snapshot";
        return false;
    }
    const uint32_t length = HeaderNumber(bytes, 8);
    if (bytes.size() - kHeaderSize != length) {
        error = bytes.size() - kHeaderSize < length ? "it is truncated" : "it has extra bytes";
        return false;
    }
    const unsigned char* body = bytes.data() + kHeaderSize;
    if (Fnv1a(body, length) != HeaderNumber(bytes, 12)) {
        error = "its checksum does not match";
        return false;
    }
    Reader in(body, length);
    RunSnapshot read;
    if (!in.Text(read.configurationName) || !in.Text(read.time) ||
        !ReadState(in, version, read.state) || !in.AtEnd()) {
        error = "its content is malformed";
        return false;
    }
    snapshot = std::move(read);
    return true;
}

bool StoreLastRunSnapshot(CRegistry registry, RegistryRoot root, const RunSnapshot& snapshot)
{
    RegistryValue value;
    value.type = static_cast<uint32_t>(RegistryValueType::Binary);
    value.data = EncodeSnapshot(snapshot);
    return registry.WriteValue(kProgramSettingsKey, kLastRunSnapshotValue, value, root);
}

bool ForgetLastRunSnapshot(CRegistry registry, RegistryRoot root)
{
    (void)registry.DeleteValue(kProgramSettingsKey, kLastRunSnapshotValue, root);
    RegistryValue left;
    return !registry.ReadValue(kProgramSettingsKey, kLastRunSnapshotValue, left, root);
}

SnapshotLoad LoadLastRunSnapshot(CRegistry registry, RegistryRoot root, RunSnapshot& snapshot,
                                 std::string& error)
{
    snapshot = RunSnapshot();
    RegistryValue value;
    if (!registry.ReadValue(kProgramSettingsKey, kLastRunSnapshotValue, value, root))
        return SnapshotLoad::Missing;
    if (value.type != static_cast<uint32_t>(RegistryValueType::Binary)) {
        error = "the stored snapshot has the wrong type";
        return SnapshotLoad::Refused;
    }
    std::string reason;
    if (!DecodeSnapshot(value.data, snapshot, reason)) {
        error = "the stored snapshot cannot be used: " + reason;
        return SnapshotLoad::Refused;
    }
    return SnapshotLoad::Loaded;
}

}  // namespace flipset
