// The machine's service control manager, through the ANSI service calls.
#pragma once

#include "engine/ServiceControl.h"

namespace flipset {

class Win32ServiceManager : public ServiceManager {
public:
    std::unique_ptr<ManagerHandle> OpenManager(ManagerAccess access) override;
    uint32_t EnumEntryRecordSize() const override;
};

}  // namespace flipset
