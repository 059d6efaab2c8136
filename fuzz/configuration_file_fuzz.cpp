// The configuration file reader on arbitrary documents: it must refuse or
// accept each without a crash, and what it accepts must write out again.
#include "support/Latin1CodePage.h"
#include "transfer/ConfigurationFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const flipset::Latin1CodePage codePage;
    const std::string_view document(reinterpret_cast<const char*>(data), size);
    std::vector<flipset::ConfigurationSnapshot> configurations;
    std::string fault;
    if (!flipset::ReadConfigurationFile(document, codePage, configurations, fault))
        return 0;
    std::string written;
    if (!flipset::WriteConfigurationFile(configurations, codePage, written, fault))
        abort();
    std::vector<flipset::ConfigurationSnapshot> again;
    if (!flipset::ReadConfigurationFile(written, codePage, again, fault))
        abort();
    return 0;
}
