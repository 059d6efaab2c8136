// An in-memory registry that also records every change made through it, as
// lines of a journal that a test may share with other stand-ins, so that the
// order of registry changes and platform calls can be checked together:
//   "set HKCU\Control Panel\Desktop\WallpaperStyle = 0"   (string values)
//   "set HKLM\...\Name = 7"                                (DWORD values)
//   "set HKCU\...\Hostfile = <3 bytes>"                    (other types)
//   "delete HKCU\Control Panel\Desktop\Wallpaper"          (value deletions)
#pragma once

#include "store/Registry.h"
#include "support/ForwardingRegistryKey.h"
#include "support/MemoryRegistryBackend.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace flipset {

class RecordingRegistryBackend : public RegistryBackend {
public:
    explicit RecordingRegistryBackend(std::vector<std::string>& journal) : journal_(journal) {}

    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override
    {
        return Wrap(root, path, memory_.OpenKey(root, path, status));
    }
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override
    {
        return Wrap(root, path, memory_.CreateKey(root, path, className, status));
    }
    long DeleteKey(RegistryRoot root, const std::string& path) override
    {
        journal_.push_back("delete key " + RootName(root) + "\\" + path);
        return memory_.DeleteKey(root, path);
    }

private:
    class Key : public ForwardingRegistryKey {
    public:
        Key(std::unique_ptr<RegistryKey> inner, std::string where,
            std::vector<std::string>& journal)
            : ForwardingRegistryKey(std::move(inner)), where_(std::move(where)), journal_(journal)
        {
        }
        long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                      uint32_t size) override
        {
            journal_.push_back("set " + where_ + "\\" + name + " = " + Describe(type, data, size));
            return ForwardingRegistryKey::SetValue(name, type, data, size);
        }
        long DeleteValue(const std::string& name) override
        {
            journal_.push_back("delete " + where_ + "\\" + name);
            return ForwardingRegistryKey::DeleteValue(name);
        }

    private:
        static std::string Describe(RegistryValueType type, const unsigned char* data,
                                    uint32_t size)
        {
            if (type == RegistryValueType::String) {
                const char* text = reinterpret_cast<const char*>(data);
                return std::string(text, strnlen(text, size));
            }
            const RegistryValue value{static_cast<uint32_t>(type), ByteArray(data, data + size)};
            uint32_t number = 0;
            if (value.AsDword(number))
                return std::to_string(number);
            return "<" + std::to_string(size) + " bytes>";
        }

        std::string where_;
        std::vector<std::string>& journal_;
    };

    static std::string RootName(RegistryRoot root)
    {
        switch (root) {
        case RegistryRoot::ClassesRoot:
            return "HKCR";
        case RegistryRoot::CurrentUser:
            return "HKCU";
        case RegistryRoot::LocalMachine:
            return "HKLM";
        }
        return "?";
    }

    std::unique_ptr<RegistryKey> Wrap(RegistryRoot root, const std::string& path,
                                      std::unique_ptr<RegistryKey> key)
    {
        if (!key)
            return nullptr;
        return std::make_unique<Key>(std::move(key), RootName(root) + "\\" + path, journal_);
    }

    MemoryRegistryBackend memory_;
    std::vector<std::string>& journal_;
};

}  // namespace flipset
