// A stand-in for the device installer: a set of present network devices,
// each with a description and a Plug and Play instance. Like the real system
// it keeps each device's "DisableCount" in the registry, so that the card
// inventory sees a change as soon as the class installer has made it.
//
// FakeNetworkMachine puts it together with an in-memory registry that holds
// the operating system's records of the cards.
#pragma once

#include "network/AdapterControl.h"
#include "store/Registry.h"
#include "support/MemoryRegistryBackend.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace flipset {

// The operating system's keys, spelled out here rather than taken from the
// code: they are the system's data. All under HKEY_LOCAL_MACHINE.
namespace MachineKey {
constexpr const char* kNetworkCards =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kNetworkClasses = "SYSTEM\\CurrentControlSet\\Control\\Network";
constexpr const char* kEnum = "SYSTEM\\CurrentControlSet\\Enum";
// The network adapter class, where Windows keeps the adapters' connections.
constexpr const char* kAdapterClass = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
}  // namespace MachineKey

class FakeDeviceInstaller : public DeviceInstaller {
public:
    struct Device {
        std::string description;
        std::string pnpInstanceId;  // where its "DisableCount" lives; none when empty
        bool enabled = true;
        int refusals = 0;               // requests refused before one is accepted
        bool changesState = true;       // the class installer really changes it
        uint32_t descriptionError = 0;  // a failing description read, when not 0
    };

    explicit FakeDeviceInstaller(CRegistry registry) : registry_(registry) {}

    // Adds a present device and records its state in the registry.
    size_t Add(const std::string& description, const std::string& pnpInstanceId,
               bool enabled = true)
    {
        Device device;
        device.description = description;
        device.pnpInstanceId = pnpInstanceId;
        device.enabled = enabled;
        devices.push_back(device);
        WriteDisableCount(devices.back());
        return devices.size() - 1;
    }

    std::vector<Device> devices;
    // When not 0, no device list is given and this is the last error.
    uint32_t listError = 0;
    // The system's message texts; a code without one has none.
    std::map<uint32_t, std::string> systemTexts;

    // Everything the code asked of the devices, in order: "list", "release",
    // "params <index> enable|disable", "install <index>", and for every
    // description read "desc <index> <buffer size>".
    std::vector<std::string> calls;
    int openLists = 0;  // lists given out and not yet released
    // The requests that the class installer carried out: "<index> enable" or
    // "<index> disable". A device that does not change still counts here.
    std::vector<std::string> installed;
    // Class installer calls on a device without an accepted request.
    int installsWithoutRequest = 0;
    // When set, every carried-out request is also added to this journal as
    // "device: <index> enable|disable" (a FakeRunHost's, to see the order).
    std::vector<std::string>* journal = nullptr;

    std::unique_ptr<NetworkDeviceList> GetPresentNetworkDevices(uint32_t* lastError) override
    {
        calls.push_back("list");
        if (listError != 0) {
            *lastError = listError;
            return nullptr;
        }
        ++openLists;
        return std::make_unique<List>(*this);
    }

    std::string SystemMessageText(uint32_t code) override
    {
        auto it = systemTexts.find(code);
        return it == systemTexts.end() ? std::string() : it->second;
    }

    // How many times a device list was asked for: one per SetCardState.
    int ListRequests() const
    {
        return static_cast<int>(std::count(calls.begin(), calls.end(), "list"));
    }

private:
    class List : public NetworkDeviceList {
    public:
        explicit List(FakeDeviceInstaller& owner) : owner_(owner) {}
        ~List() override
        {
            --owner_.openLists;
            owner_.calls.push_back("release");
        }

        bool EnumDeviceInfo(uint32_t index) override { return index < owner_.devices.size(); }

        uint32_t GetDeviceDescription(uint32_t index, char* buffer, uint32_t bufferSize,
                                      uint32_t* requiredSize) override
        {
            owner_.calls.push_back("desc " + std::to_string(index) + " " +
                                   std::to_string(bufferSize));
            const Device& device = owner_.devices.at(index);
            if (device.descriptionError != 0)
                return device.descriptionError;
            const uint32_t needed = static_cast<uint32_t>(device.description.size() + 1);
            if (bufferSize < needed) {
                *requiredSize = needed;
                return DeviceStatus::kInsufficientBuffer;
            }
            std::memcpy(buffer, device.description.c_str(), needed);
            return DeviceStatus::kSuccess;
        }

        bool SetPropertyChangeParams(uint32_t index, DeviceStateChange change) override
        {
            Device& device = owner_.devices.at(index);
            owner_.calls.push_back("params " + std::to_string(index) +
                                   (change == DeviceStateChange::Enable ? " enable" : " disable"));
            if (device.refusals > 0) {
                --device.refusals;
                return false;
            }
            pending_[index] = change;
            return true;
        }

        void CallPropertyChangeInstaller(uint32_t index) override
        {
            owner_.calls.push_back("install " + std::to_string(index));
            auto it = pending_.find(index);
            if (it == pending_.end()) {
                ++owner_.installsWithoutRequest;
                return;
            }
            const std::string request =
                std::to_string(index) +
                (it->second == DeviceStateChange::Enable ? " enable" : " disable");
            owner_.installed.push_back(request);
            if (owner_.journal)
                owner_.journal->push_back("device: " + request);
            Device& device = owner_.devices.at(index);
            if (device.changesState) {
                device.enabled = it->second == DeviceStateChange::Enable;
                owner_.WriteDisableCount(device);
            }
            pending_.erase(it);
        }

    private:
        FakeDeviceInstaller& owner_;
        std::map<uint32_t, DeviceStateChange> pending_;
    };

    void WriteDisableCount(const Device& device)
    {
        if (device.pnpInstanceId.empty())
            return;
        registry_.WriteDword(
            std::string(MachineKey::kEnum) + "\\" + device.pnpInstanceId + "\\Control",
            "DisableCount", device.enabled ? 0 : 1, RegistryRoot::LocalMachine);
    }

    CRegistry registry_;
};

// A machine with network cards: the card list, the connections and the
// devices' states in the registry, and the present devices.
struct FakeNetworkMachine {
    MemoryRegistryBackend backend;
    CRegistry registry{backend};
    FakeDeviceInstaller devices{registry};

    // The card's entry in the card list; an empty text leaves a value out.
    void AddCardEntry(const std::string& number, const std::string& description,
                      const std::string& serviceName) const
    {
        const std::string key = std::string(MachineKey::kNetworkCards) + "\\" + number;
        registry.OpenKeyForWrite(key, RegistryRoot::LocalMachine);  // the key, even with no value
        if (!description.empty())
            registry.WriteString(key, "Description", description, RegistryRoot::LocalMachine);
        if (!serviceName.empty())
            registry.WriteString(key, "ServiceName", serviceName, RegistryRoot::LocalMachine);
    }

    // The service's connection below a network class.
    void AddConnection(const std::string& networkClass, const std::string& serviceName,
                       const std::string& pnpInstanceId) const
    {
        registry.WriteString(std::string(MachineKey::kNetworkClasses) + "\\" + networkClass + "\\" +
                                 serviceName + "\\Connection",
                             "PnpInstanceID", pnpInstanceId, RegistryRoot::LocalMachine);
    }

    void SetDisableCount(const std::string& pnpInstanceId, uint32_t count) const
    {
        registry.WriteDword(std::string(MachineKey::kEnum) + "\\" + pnpInstanceId + "\\Control",
                            "DisableCount", count, RegistryRoot::LocalMachine);
    }

    // A card as Windows records a present adapter: its entry, its connection
    // below the adapter class, and its device. Returns the device's index.
    size_t AddCard(const std::string& number, const std::string& description,
                   const std::string& serviceName, const std::string& pnpInstanceId,
                   bool enabled = true)
    {
        AddCardEntry(number, description, serviceName);
        AddConnection(MachineKey::kAdapterClass, serviceName, pnpInstanceId);
        return devices.Add(description, pnpInstanceId, enabled);
    }
};

}  // namespace flipset
