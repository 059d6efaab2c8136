// A key of a registry stand-in that wraps another registry: every call goes
// to the wrapped key, and a stand-in overrides only the calls it watches or
// changes (the recording and refusing registries, its writes).
#pragma once

#include "store/RegistryBackend.h"

#include <memory>
#include <string>

namespace flipset {

class ForwardingRegistryKey : public RegistryKey {
public:
    explicit ForwardingRegistryKey(std::unique_ptr<RegistryKey> inner) : inner_(std::move(inner))
    {
    }

    long QueryValue(const std::string& name, unsigned char* data, uint32_t* size) override
    {
        return inner_->QueryValue(name, data, size);
    }
    long QueryValueType(const std::string& name, uint32_t* type, uint32_t* size) override
    {
        return inner_->QueryValueType(name, type, size);
    }
    long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                  uint32_t size) override
    {
        return inner_->SetValue(name, type, data, size);
    }
    long DeleteValue(const std::string& name) override { return inner_->DeleteValue(name); }
    long EnumKey(uint32_t index, char* name, uint32_t* nameSize, char* className,
                 uint32_t* classSize) override
    {
        return inner_->EnumKey(index, name, nameSize, className, classSize);
    }
    long EnumValue(uint32_t index, char* name, uint32_t* nameSize) override
    {
        return inner_->EnumValue(index, name, nameSize);
    }
    long EnumValueData(uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                       unsigned char* data, uint32_t* dataSize) override
    {
        return inner_->EnumValueData(index, name, nameSize, type, data, dataSize);
    }

private:
    std::unique_ptr<RegistryKey> inner_;
};

}  // namespace flipset
