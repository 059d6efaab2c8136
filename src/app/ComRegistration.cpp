#include "app/ComRegistration.h"

#include <string>

namespace flipset {

namespace {

const std::string kAppIdKey = "AppID";
const std::string kOwnAppIdKey = kAppIdKey + "\\" + kFlipsetAppId;
const std::string kExecutableKey = kAppIdKey + "\\Flipset.EXE";

// The value with the empty name is the key's default value.
constexpr const char* kDefaultValue = "";

}  // namespace

void WriteComRegistration(CRegistry registry)
{
    (void)registry.WriteString(kOwnAppIdKey, kDefaultValue, "Flipset", RegistryRoot::ClassesRoot);
    (void)registry.WriteString(kExecutableKey, "AppID", kFlipsetAppId, RegistryRoot::ClassesRoot);
}

void RemoveComRegistration(CRegistry registry)
{
    (void)registry.DeleteKeyTree(kOwnAppIdKey, RegistryRoot::ClassesRoot);
    (void)registry.DeleteKeyTree(kExecutableKey, RegistryRoot::ClassesRoot);
}

}  // namespace flipset
