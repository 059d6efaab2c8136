// Small stand-ins for the platform services of a run that the tests of the
// run and of the main window need only to be there and to record: the file
// system, the desktop, the shell and the platform's version. Calls go into a
// journal that the test gives, so they can be seen between the captions of a
// FakeRunHost.
#pragma once

#include "engine/DesktopSettings.h"
#include "engine/ProgramLauncher.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace flipset {

class FakeFiles : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    bool ReplaceFileContent(const std::string& path, const std::string& bytes) override
    {
        files[path] = bytes;
        return true;
    }
};

class FakeDesktop : public DesktopPlatform {
public:
    explicit FakeDesktop(std::vector<std::string>& journal) : journal_(journal) {}
    void SetWallpaper(const std::string& path) override { journal_.push_back("wallpaper: " + path); }
    void RefreshDesktop() override { journal_.push_back("refresh"); }
    MixerResult SetMasterVolume(uint32_t volume) override
    {
        journal_.push_back("volume: " + std::to_string(volume));
        return MixerResult::Done;
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
    void Open(const std::string& file, const std::string& parameters) override
    {
        journal_.push_back("open: " + file + " | " + parameters);
    }

private:
    std::vector<std::string>& journal_;
};

class FakeSystem : public SystemInfo {
public:
    bool majorVersion6 = false;
    bool IsMajorVersion6() const override { return majorVersion6; }
};

}  // namespace flipset
