// What a configuration's proxy texts may hold, for every place that stores
// one (the Proxy dialog, import): a text the run could not read back whole,
// or that the system's proxy settings would split or misread, is refused.
#pragma once

#include "store/Registry.h"

#include <cstddef>
#include <string>

namespace flipset {

enum class ProxyText {
    Server,  // "ProxyServer": "host:port", or per scheme "http=a:80;https=b:443"
    Bypass,  // "ProxyOverride": entries separated by ";", "<local>" for local addresses
    Script,  // "AutoConfigURL": the automatic configuration script's address
};

// The run reads a text value with the registry's text buffer.
constexpr size_t kLongestProxyText = CRegistry::kStringBufferSize - 1;

// Empty when the text may be stored as that value; otherwise why not, to
// follow the field's or box's name ("holds a space", ...).
std::string ProxyTextProblem(ProxyText kind, const std::string& text);

}  // namespace flipset
