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
    registry.WriteString(kOwnAppIdKey, kDefaultValue, "Flipset", RegistryRoot::ClassesRoot);
    registry.WriteString(kExecutableKey, "AppID", kFlipsetAppId, RegistryRoot::ClassesRoot);
}

void RemoveComRegistration(CRegistry registry)
{
    registry.DeleteKeyTree(kOwnAppIdKey, RegistryRoot::ClassesRoot);
    registry.DeleteKeyTree(kExecutableKey, RegistryRoot::ClassesRoot);
}

}  // namespace flipset
