#include "editor/ConfigurationLists.h"

#include "store/ConfigurationStore.h"

namespace flipset {

bool FitsTextValue(const std::string& text)
{
    return text.size() <= kLongestTextValue;
}

StringList ReadCodedList(CRegistry registry, int configurationNumber, RegistryRoot root,
                         const char* valueName)
{
    StringList entries;
    (void)registry.ReadCodedList(ConfigurationKeyPath(configurationNumber), valueName, entries,
                                 root);
    return entries;
}

size_t CodedListSize(const StringList& entries)
{
    return CRegistry::PackCodedList(entries).size();
}

namespace {

ValueWrite WriteConfigurationBinary(CRegistry registry, int configurationNumber, RegistryRoot root,
                                    const char* valueName, const ByteArray& bytes)
{
    if (bytes.size() > kLargestBinaryValue)
        return ValueWrite::TooLarge;
    return registry.WriteBinary(ConfigurationKeyPath(configurationNumber), valueName, bytes, root)
               ? ValueWrite::Stored
               : ValueWrite::Refused;
}

}  // namespace

ValueWrite WriteCodedList(CRegistry registry, int configurationNumber, RegistryRoot root,
                          const char* valueName, const StringList& entries)
{
    return WriteConfigurationBinary(registry, configurationNumber, root, valueName,
                                    CRegistry::PackCodedList(entries));
}

std::string ReadSystemFileText(CRegistry registry, int configurationNumber, RegistryRoot root,
                               const char* valueName)
{
    ByteArray bytes;
    if (!registry.ReadBinary(ConfigurationKeyPath(configurationNumber), valueName, bytes, root))
        return std::string();
    StringList entries;
    CRegistry::UnpackStringList(bytes, entries);
    return JoinText(entries, '\n');
}

size_t SystemFileTextSize(const std::string& text)
{
    return text.size() + 3;
}

ValueWrite WriteSystemFileText(CRegistry registry, int configurationNumber, RegistryRoot root,
                               const char* valueName, const std::string& text)
{
    if (SystemFileTextSize(text) > kLargestBinaryValue)
        return ValueWrite::TooLarge;
    ByteArray bytes;
    CRegistry::PackStringList({text}, bytes);
    return WriteConfigurationBinary(registry, configurationNumber, root, valueName, bytes);
}

}  // namespace flipset
