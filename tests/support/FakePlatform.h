// Small stand-ins for the platform services of a run that the tests of the
// run and of the main window need only to be there and to record: the file
// system, the desktop, the shell and the platform's version. Calls go into a
// journal that the test gives, so they can be seen between the captions of a
// FakeRunHost. FakeRunPlatform wires one of each into a run's platform.
#pragma once

#include "engine/DesktopSettings.h"
#include "engine/ProgramLauncher.h"
#include "engine/ProxySettings.h"
#include "engine/RunSequence.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"
#include "support/FakeServiceManager.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace flipset {

// The files that exist, by path, with their content.
class FakeFiles : public FileSystem {
public:
    std::map<std::string, std::string> files;
    // Paths that can be neither read nor written nor removed.
    std::set<std::string> broken;
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    bool ReplaceFileContent(const std::string& path, const std::string& bytes) override
    {
        if (broken.count(path))
            return false;
        files[path] = bytes;
        return true;
    }
    FileRead ReadFileContent(const std::string& path, std::string& bytes) override
    {
        bytes.clear();
        if (broken.count(path))
            return FileRead::Failed;
        const auto found = files.find(path);
        if (found == files.end())
            return FileRead::Missing;
        bytes = found->second;
        return FileRead::Read;
    }
    bool RemoveFile(const std::string& path) override
    {
        if (broken.count(path))
            return false;
        files.erase(path);
        return true;
    }
};

class FakeDesktop : public DesktopPlatform {
public:
    explicit FakeDesktop(std::vector<std::string>& journal) : journal_(journal) {}
    void SetWallpaper(const std::string& path) override
    {
        journal_.push_back("wallpaper: " + path);
    }
    void RefreshDesktop() override { journal_.push_back("refresh"); }
    // The mixer's level; a result other than Done stands for a machine
    // without a usable mixer, for setting and reading alike.
    uint32_t volume = 32767;
    MixerResult mixer = MixerResult::Done;

    MixerResult SetMasterVolume(uint32_t level) override
    {
        journal_.push_back("volume: " + std::to_string(level));
        if (mixer == MixerResult::Done)
            volume = level;
        return mixer;
    }
    MixerResult GetMasterVolume(uint32_t& level) override
    {
        level = volume;
        return mixer;
    }

private:
    std::vector<std::string>& journal_;
};

// Paths in "existing" can be shortened (to themselves); others cannot.
class FakeShell : public Shell {
public:
    explicit FakeShell(std::vector<std::string>& journal) : journal_(journal) {}
    std::set<std::string> existing;
    std::string ShortPathName(const std::string& path) override
    {
        return existing.count(path) ? path : std::string();
    }
    // What Open reports for a file; nothing for the others.
    std::map<std::string, std::string> failures;
    std::string Open(const std::string& file, const std::string& parameters) override
    {
        journal_.push_back("open: " + file + " | " + parameters);
        const auto failure = failures.find(file);
        return failure == failures.end() ? std::string() : failure->second;
    }

private:
    std::vector<std::string>& journal_;
};

class FakeInternetSettings : public InternetSettingsNotifier {
public:
    explicit FakeInternetSettings(std::vector<std::string>& journal) : journal_(journal) {}
    void SettingsChanged() override { journal_.push_back("internet settings changed"); }

private:
    std::vector<std::string>& journal_;
};

// Live adapters that list none, for runs that set no card on them. Defined
// beside FakeInterfaceConfigurator, so that this header needs no network
// type: a test that sets cards on adapters gives its own
// (FakeRunPlatform::WithInterfaces).
InterfaceConfigurator& NoLiveAdapters();

class FakeSystem : public SystemInfo {
public:
    uint32_t majorVersion = 5;
    uint32_t MajorVersion() const override { return majorVersion; }
};

// The fakes, one of each, as the program's Win32Platform holds the real
// services: the desktop and the shell write to the journal given, the cards
// are the test's device installer (a FakeNetworkMachine's, or one over the
// real registry).
struct FakeRunPlatform {
    FakeRunPlatform(std::vector<std::string>& journal, DeviceInstaller& devices)
        : desktop(journal), shell(journal), internet(journal), run{files,    desktop,
                                                                   devices,  services,
                                                                   shell,    system,
                                                                   internet, NoLiveAdapters()}
    {
    }
    FakeRunPlatform(const FakeRunPlatform&) = delete;
    FakeRunPlatform& operator=(const FakeRunPlatform&) = delete;

    // The same platform with another desktop, e.g. one that fails.
    RunPlatform WithDesktop(DesktopPlatform& other) const
    {
        return RunPlatform{run.files, other,      run.devices,  run.services,
                           run.shell, run.system, run.internet, run.interfaces};
    }

    // The same platform with other live adapters.
    RunPlatform WithInterfaces(InterfaceConfigurator& other) const
    {
        return RunPlatform{run.files, run.desktop, run.devices,  run.services,
                           run.shell, run.system,  run.internet, other};
    }

    FakeFiles files;
    FakeDesktop desktop;
    FakeServiceManager services;
    FakeShell shell;
    FakeSystem system;
    FakeInternetSettings internet;
    RunPlatform run;
};

}  // namespace flipset
