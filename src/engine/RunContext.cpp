#include "engine/RunContext.h"

namespace flipset {

RunContext::RunContext(CRegistry registry, RunHost& host)
    : registry_(registry),
      host_(host),
      root_(flipset::ConfigurationRoot(host.SettingsRootChoice())),
      store_(registry),
      settings_(registry, host.SettingsRootChoice())
{
}

int RunContext::SelectedConfigurationNumber() const
{
    return host_.SelectedConfigurationNumber(store_, root_);
}

std::string RunContext::ConfigurationKey() const
{
    return ConfigurationKeyPath(SelectedConfigurationNumber());
}

COpenKey RunContext::OpenConfiguration() const
{
    return registry_.OpenForReading(ConfigurationKey(), root_);
}

std::string RunContext::ReadString(const char* name, const std::string& defaultText) const
{
    return registry_.ReadString(ConfigurationKey(), name, defaultText, root_);
}

uint32_t RunContext::ReadDword(const char* name, uint32_t defaultNumber) const
{
    return registry_.ReadDword(ConfigurationKey(), name, defaultNumber, root_);
}

bool RunContext::HasValue(const char* name) const
{
    RegistryValue value;
    return registry_.ReadValue(ConfigurationKey(), name, value, root_);
}

bool RunContext::ReadList(const char* name, StringList& entries) const
{
    return registry_.OpenForReading(ConfigurationKey(), root_).ReadList(name, entries);
}

bool RunContext::ReadCodedList(const char* name, StringList& entries) const
{
    return registry_.ReadCodedList(ConfigurationKey(), name, entries, root_);
}

void RunContext::WriteDword(const char* name, uint32_t number) const
{
    // Without a selected configuration there is no key to write to; a key
    // "0" must never come into being.
    const int configuration = SelectedConfigurationNumber();
    if (configuration < 1)
        return;
    (void)registry_.WriteDword(ConfigurationKeyPath(configuration), name, number, root_);
}

uint32_t RunContext::ReadWait(const WaitSetting& wait) const
{
    return settings_.Read(wait);
}

}  // namespace flipset
