#include "editor/PrinterList.h"

namespace flipset {

std::string PrinterEntry(const std::string& name, const std::string& data)
{
    return name + "," + data;
}

StringList ListPrinterEntries(CRegistry registry)
{
    constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
    StringList names = registry.EnumValueNames(kPrinterDevicesKey, kRoot);
    StringList entries;
    for (const std::string& name : names) {
        const std::string data = registry.ReadString(kPrinterDevicesKey, name, "", kRoot);
        if (!data.empty())
            entries.push_back(PrinterEntry(name, data));
    }
    return entries;
}

}  // namespace flipset
