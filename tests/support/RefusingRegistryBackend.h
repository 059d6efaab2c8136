// A registry that refuses writes when told to, as the platform refuses a
// standard user's writes to a key shared by all users: creating (or opening
// for writing) a key fails with ERROR_ACCESS_DENIED, and so does deleting
// one. Reads, and every write while it is not refusing, go to the registry
// it wraps. It can also refuse only the values of one name, the key being
// opened, to show a refusal halfway through several writes. A test's driver
// thread may change what is refused while a dialog's thread writes.
#pragma once

#include "store/RegistryBackend.h"
#include "support/ForwardingRegistryKey.h"

#include <memory>
#include <mutex>
#include <string>

namespace flipset {

class RefusingRegistryBackend : public RegistryBackend {
public:
    explicit RefusingRegistryBackend(RegistryBackend& inner) : inner_(inner) {}

    void RefuseNothing()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        refuseAll_ = false;
        refusedValue_.clear();
    }
    void RefuseEveryWrite()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        refuseAll_ = true;
    }
    // Only setting or deleting a value of this name (compared exactly).
    void RefuseValue(const std::string& name)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        refusedValue_ = name;
    }

    std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path,
                                         long* status) override
    {
        return Wrap(inner_.OpenKey(root, path, status));
    }
    std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path,
                                           const std::string& className, long* status) override
    {
        if (RefusesAll()) {
            *status = RegistryStatus::kAccessDenied;
            return nullptr;
        }
        return Wrap(inner_.CreateKey(root, path, className, status));
    }
    long DeleteKey(RegistryRoot root, const std::string& path) override
    {
        return RefusesAll() ? RegistryStatus::kAccessDenied : inner_.DeleteKey(root, path);
    }

private:
    class Key : public ForwardingRegistryKey {
    public:
        Key(std::unique_ptr<RegistryKey> inner, const RefusingRegistryBackend& owner)
            : ForwardingRegistryKey(std::move(inner)), owner_(owner)
        {
        }
        long SetValue(const std::string& name, RegistryValueType type, const unsigned char* data,
                      uint32_t size) override
        {
            return owner_.Refuses(name) ? RegistryStatus::kAccessDenied
                                        : ForwardingRegistryKey::SetValue(name, type, data, size);
        }
        long DeleteValue(const std::string& name) override
        {
            return owner_.Refuses(name) ? RegistryStatus::kAccessDenied
                                        : ForwardingRegistryKey::DeleteValue(name);
        }

    private:
        const RefusingRegistryBackend& owner_;
    };

    bool RefusesAll() const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return refuseAll_;
    }
    // A key opened before the refusal began refuses from then on too.
    bool Refuses(const std::string& valueName) const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return refuseAll_ || (!refusedValue_.empty() && valueName == refusedValue_);
    }
    std::unique_ptr<RegistryKey> Wrap(std::unique_ptr<RegistryKey> key) const
    {
        if (!key)
            return nullptr;
        return std::make_unique<Key>(std::move(key), *this);
    }

    RegistryBackend& inner_;
    mutable std::mutex mutex_;
    bool refuseAll_ = false;
    std::string refusedValue_;
};

}  // namespace flipset
