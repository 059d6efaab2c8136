// What every phase of a run shares: the registry, the host window, the run's
// coder, and the selected configuration.
//
// The selection is not captured once: every read of a configuration value
// asks the host for the configuration again. The main window resolves its
// list's current selection each time, so a selection changed during one of
// the run's waits affects the reads after it; the command line names one
// configuration, found once before the run. A step that reads several values
// with no wait or message in between resolves it once and reads them
// through one open key (OpenConfiguration).
#pragma once

#include "engine/RunHost.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"
#include "store/Registry.h"

#include <cstdint>
#include <string>

namespace flipset {

class RunContext {
public:
    RunContext(CRegistry registry, RunHost& host);

    RunHost& Host() const { return host_; }
    CRegistry Registry() const { return registry_; }
    RegistryRoot ConfigurationRoot() const { return root_; }

    // The host's configuration number, asked now; 0 for none.
    int SelectedConfigurationNumber() const;
    // The selected configuration's key path, resolved now.
    std::string ConfigurationKey() const;

    // The selected configuration's key, resolved now and opened for
    // reading. Held only while no wait, message box or message loop comes
    // between its reads.
    COpenKey OpenConfiguration() const;

    // Values of the selected configuration, each read resolving it afresh.
    std::string ReadString(const char* name, const std::string& defaultText) const;
    uint32_t ReadDword(const char* name, uint32_t defaultNumber) const;
    // Whether the value is there at all, of whatever type and size.
    bool HasValue(const char* name) const;
    // The entries of a packed string list value; false when it was not read.
    bool ReadList(const char* name, StringList& entries) const;
    // The decoded entries of a coded list value; false when it was not read.
    bool ReadCodedList(const char* name, StringList& entries) const;
    // Writes into the selected configuration; nothing when none is selected.
    void WriteDword(const char* name, uint32_t number) const;

    // A wait in milliseconds, read from the program settings each time.
    uint32_t ReadWait(const WaitSetting& wait) const;

private:
    CRegistry registry_;
    RunHost& host_;
    RegistryRoot root_;
    ConfigurationStore store_;
    ProgramSettings settings_;
};

}  // namespace flipset
