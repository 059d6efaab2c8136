// A registry in front of another that counts what is asked of it: every
// call that reaches the registry (opening or creating a key, each query,
// write, deletion and enumeration step; closing is not counted), and how
// often each key is opened or created, by its path as given.
#pragma once

#include "store/RegistryBackend.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace flipset {

class CountingRegistryBackend : public RegistryBackend {
public:
    explicit CountingRegistryBackend(RegistryBackend& inner) : inner_(inner) {}

    // Every call that reached the registry.
    size_t calls = 0;
    // How often each key was opened or created.
    std::map<std::string, int> opens;

    void Reset()
    {
        calls = 0;
        opens.clear();
    }

    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override
    {
        return Counted(path, inner_.OpenKey(root, path, status));
    }
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override
    {
        return Counted(path, inner_.CreateKey(root, path, className, status));
    }
    long DeleteKey(RegistryRoot root, const std::string& path) override
    {
        ++calls;
        return inner_.DeleteKey(root, path);
    }

private:
    class Key : public RegistryKey {
    public:
        Key(std::unique_ptr<RegistryKey> inner, CountingRegistryBackend& owner)
            : inner_(std::move(inner)), owner_(owner)
        {
        }
        long QueryValue(const std::string& name, unsigned char* data, uint32_t* size) override
        {
            ++owner_.calls;
            return inner_->QueryValue(name, data, size);
        }
        long QueryValueType(const std::string& name, uint32_t* type, uint32_t* size) override
        {
            ++owner_.calls;
            return inner_->QueryValueType(name, type, size);
        }
        long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                      uint32_t size) override
        {
            ++owner_.calls;
            return inner_->SetValue(name, type, data, size);
        }
        long DeleteValue(const std::string& name) override
        {
            ++owner_.calls;
            return inner_->DeleteValue(name);
        }
        long EnumKey(uint32_t index, char* name, uint32_t* nameSize, char* className,
                     uint32_t* classSize) override
        {
            ++owner_.calls;
            return inner_->EnumKey(index, name, nameSize, className, classSize);
        }
        long EnumValue(uint32_t index, char* name, uint32_t* nameSize) override
        {
            ++owner_.calls;
            return inner_->EnumValue(index, name, nameSize);
        }
        long EnumValueData(uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                           unsigned char* data, uint32_t* dataSize) override
        {
            ++owner_.calls;
            return inner_->EnumValueData(index, name, nameSize, type, data, dataSize);
        }

    private:
        std::unique_ptr<RegistryKey> inner_;
        CountingRegistryBackend& owner_;
    };

    std::unique_ptr<RegistryKey> Counted(const std::string& path, std::unique_ptr<RegistryKey> key)
    {
        ++calls;
        ++opens[path];
        if (!key)
            return nullptr;
        return std::make_unique<Key>(std::move(key), *this);
    }

    RegistryBackend& inner_;
};

}  // namespace flipset
