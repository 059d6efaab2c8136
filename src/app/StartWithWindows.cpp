#include "app/StartWithWindows.h"

namespace flipset {

std::string StartWithWindowsCommand(const std::string& programPath)
{
    return "\"" + programPath + "\" /tray";
}

bool StartsWithWindows(CRegistry registry)
{
    RegistryValue value;
    return registry.ReadValue(kStartWithWindowsKey, kStartWithWindowsValue, value,
                              RegistryRoot::CurrentUser);
}

bool SetStartWithWindows(CRegistry registry, bool start, const std::string& programPath)
{
    if (start)
        return registry.WriteString(kStartWithWindowsKey, kStartWithWindowsValue,
                                    StartWithWindowsCommand(programPath),
                                    RegistryRoot::CurrentUser);
    return !StartsWithWindows(registry) ||
           registry.DeleteValue(kStartWithWindowsKey, kStartWithWindowsValue,
                                RegistryRoot::CurrentUser);
}

}  // namespace flipset
