#include "network/Win32DeviceInstaller.h"

#include <windows.h>
// GUID_DEVCLASS_NET is defined, not only declared, after initguid.h.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

namespace flipset {

namespace {

// The property change request as the class installer expects it: an 8-byte
// header and 20 bytes in all.
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8, "class install header size");
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20, "property change request size");

// The portable card logic counts on the platform's own numbers.
static_assert(static_cast<DWORD>(DeviceStateChange::Enable) == DICS_ENABLE);
static_assert(static_cast<DWORD>(DeviceStateChange::Disable) == DICS_DISABLE);
static_assert(DeviceStatus::kSuccess == static_cast<DWORD>(ERROR_SUCCESS));
static_assert(DeviceStatus::kInsufficientBuffer == static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

// Owns a device information set and releases it when destroyed.
class Win32NetworkDeviceList : public NetworkDeviceList {
public:
    explicit Win32NetworkDeviceList(HDEVINFO devices) : devices_(devices) {}
    ~Win32NetworkDeviceList() override { SetupDiDestroyDeviceInfoList(devices_); }

    bool EnumDeviceInfo(uint32_t index) override
    {
        SP_DEVINFO_DATA device;
        return Enum(index, device);
    }

    uint32_t GetDeviceDescription(uint32_t index, char* buffer, uint32_t bufferSize,
                                  uint32_t* requiredSize) override
    {
        SP_DEVINFO_DATA device;
        if (!Enum(index, device))
            return GetLastError();
        DWORD required = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(devices_, &device, SPDRP_DEVICEDESC, nullptr,
                                               reinterpret_cast<BYTE*>(buffer), bufferSize,
                                               &required)) {
            const DWORD error = GetLastError();
            *requiredSize = required;
            return error;
        }
        return ERROR_SUCCESS;
    }

    bool SetPropertyChangeParams(uint32_t index, DeviceStateChange change) override
    {
        SP_DEVINFO_DATA device;
        if (!Enum(index, device))
            return false;
        SP_PROPCHANGE_PARAMS request{};
        request.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        request.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        request.StateChange = change == DeviceStateChange::Enable ? DICS_ENABLE : DICS_DISABLE;
        request.Scope = DICS_FLAG_GLOBAL;
        request.HwProfile = 0;
        return SetupDiSetClassInstallParamsA(devices_, &device, &request.ClassInstallHeader,
                                             sizeof(request)) != FALSE;
    }

    void CallPropertyChangeInstaller(uint32_t index) override
    {
        SP_DEVINFO_DATA device;
        if (Enum(index, device))
            SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, devices_, &device);
    }

private:
    bool Enum(uint32_t index, SP_DEVINFO_DATA& device) const
    {
        device = SP_DEVINFO_DATA{};
        device.cbSize = sizeof(SP_DEVINFO_DATA);
        return SetupDiEnumDeviceInfo(devices_, index, &device) != FALSE;
    }

    HDEVINFO devices_;
};

// Frees a buffer that FormatMessageA allocated.
struct LocalFreer {
    void operator()(char* text) const { LocalFree(text); }
};

}  // namespace

std::unique_ptr<NetworkDeviceList> Win32DeviceInstaller::GetPresentNetworkDevices(
    uint32_t* lastError)
{
    HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_NET, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        *lastError = GetLastError();
        return nullptr;
    }
    return std::make_unique<Win32NetworkDeviceList>(devices);
}

std::string Win32DeviceInstaller::SystemMessageText(uint32_t code)
{
    // Neutral language, default sublanguage: the user's own language.
    constexpr DWORD kNeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    char* allocated = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, kNeutralLanguage, reinterpret_cast<char*>(&allocated), 0, nullptr);
    const std::unique_ptr<char, LocalFreer> owner(allocated);
    if (length == 0 || !allocated)
        return std::string();
    // Kept as the system gives it, line break at the end included: a message
    // box shows it unchanged.
    return std::string(allocated, length);
}

}  // namespace flipset
