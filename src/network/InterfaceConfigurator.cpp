#include "network/InterfaceConfigurator.h"

#include "base/Text.h"

namespace flipset {

const AdapterSnapshot* FindAdapterByGuid(const std::vector<AdapterSnapshot>& adapters,
                                         const std::string& guid)
{
    if (guid.empty())
        return nullptr;
    for (const AdapterSnapshot& adapter : adapters) {
        if (EqualsNoCase(adapter.guid, guid))
            return &adapter;
    }
    return nullptr;
}

uint32_t MaskFromPrefixLength(unsigned prefixLength)
{
    if (prefixLength == 0)
        return 0;
    if (prefixLength >= 32)
        return 0xFFFFFFFFu;
    return ~((1u << (32 - prefixLength)) - 1);
}

}  // namespace flipset
