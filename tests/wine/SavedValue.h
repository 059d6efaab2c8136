// A value of the current user's that a Wine test changes, put back as it
// was (or removed, when it was missing) when the test ends.
#pragma once

#include "store/Registry.h"
#include "wine/TestConstants.h"

#include <string>
#include <utility>

namespace flipset {

class SavedValue {
public:
    SavedValue(CRegistry registry, std::string key, std::string name)
        : registry_(registry), key_(std::move(key)), name_(std::move(name))
    {
        existed_ = registry_.ReadValue(key_, name_, value_, kUser);
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;
    ~SavedValue()
    {
        if (existed_)
            registry_.WriteValue(key_, name_, value_, kUser);
        else
            registry_.DeleteValue(key_, name_, kUser);
    }

private:
    CRegistry registry_;
    std::string key_;
    std::string name_;
    bool existed_ = false;
    RegistryValue value_;
};

}  // namespace flipset
