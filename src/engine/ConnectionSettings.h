// The binary record "DefaultConnectionSettings" under the current user's
// Internet Settings\Connections key, which WinHTTP and the system's settings
// page read: a version, a change counter and the flags, each a 32-bit
// number lowest byte first, then the proxy server, the bypass list and the
// automatic configuration script's address, each as a 32-bit length and
// that many bytes, then more that other programs keep there. The run
// changes only what it sets and carries the rest over as it was.
#pragma once

#include "store/Registry.h"

#include <cstdint>
#include <string>

namespace flipset {

// The version a new record is written with; WinHTTP reads the proxy of a
// record only with this version.
constexpr uint32_t kNewConnectionSettingsVersion = 0x46;

namespace ConnectionFlag {
constexpr uint32_t kDirect = 0x1;
constexpr uint32_t kProxy = 0x2;
constexpr uint32_t kAutoConfigUrl = 0x4;
constexpr uint32_t kAutoDetect = 0x8;
}  // namespace ConnectionFlag

struct ConnectionSettings {
    uint32_t version = kNewConnectionSettingsVersion;
    uint32_t counter = 0;
    uint32_t flags = ConnectionFlag::kDirect;
    std::string proxyServer;
    std::string proxyBypass;
    std::string autoConfigUrl;
    // Everything after the script's address, as it was.
    ByteArray rest;

    bool operator==(const ConnectionSettings& other) const
    {
        return version == other.version && counter == other.counter && flags == other.flags &&
               proxyServer == other.proxyServer && proxyBypass == other.proxyBypass &&
               autoConfigUrl == other.autoConfigUrl && rest == other.rest;
    }
};

ByteArray EncodeConnectionSettings(const ConnectionSettings& settings);

// False for a record that is cut short before its three texts end or whose
// lengths run past its end; settings is then a new record's.
bool DecodeConnectionSettings(const ByteArray& bytes, ConnectionSettings& settings);

}  // namespace flipset
