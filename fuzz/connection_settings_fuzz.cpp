// Decoding any bytes as the proxy's connection record either refuses them,
// leaving a new record's settings, or reads them; a record that reads
// encodes back to exactly the same bytes, and the Proxy phase's update of
// any stored bytes is a record that reads.
#include "engine/ConnectionSettings.h"
#include "engine/ProxySettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace flipset;
    const ByteArray bytes(data, data + size);
    ConnectionSettings settings;
    if (DecodeConnectionSettings(bytes, settings))
        Check(EncodeConnectionSettings(settings) == bytes);
    else
        Check(settings == ConnectionSettings());

    ProxySetting setting;
    setting.enable = size % 2 == 1;
    setting.server = "proxy.example:8080";
    RegistryValue stored;
    stored.type = static_cast<uint32_t>(RegistryValueType::Binary);
    stored.data = bytes;
    for (const ProxyWrite& write : PlannedProxyWrites(setting, &stored)) {
        if (std::string(write.key) != kConnectionsKey)
            continue;
        ConnectionSettings written;
        Check(DecodeConnectionSettings(write.value.data, written));
        Check(written.proxyServer == setting.server);
        Check(((written.flags & ConnectionFlag::kProxy) != 0) == setting.enable);
    }
    return 0;
}
