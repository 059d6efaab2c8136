// The areas of a configuration that a run may apply, one descriptor each.
// This is the one list of them: the main window's option boxes, "/only",
// the stored options, the usage text, the configuration file's options, the
// run's phases, and the capture, preview and restore of a state all read
// it. docs/architecture.md ("Adding an area") lists what a new area adds
// beside its row here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace flipset {

enum class Area { Files, Network, Desktop, Programs, Services, Proxy };

// What an area needs of the platform before a run may apply it.
enum class AreaNeeds {
    Nothing,
    NetworkFeatures,  // the network card features (NetworkFeaturesAvailable)
};

struct AreaDescriptor {
    Area area;
    // The word of "/only" and of the configuration file's options.
    const char* word;
    // The option value: in a configuration key the run stores it, and in
    // the program settings the main window remembers its box with it.
    const char* optionValue;
    // How the preview names the area in "No change: ..." lines.
    const char* previewName;
    AreaNeeds needs;
};

// In the order in which a run stores the options and the main window lists
// its boxes; the stored value names are data and stay as they are.
inline constexpr AreaDescriptor kAreas[] = {
    {Area::Files, "files", "dofiles", "files", AreaNeeds::Nothing},
    {Area::Network, "network", "donetwork", "network cards", AreaNeeds::NetworkFeatures},
    {Area::Desktop, "desktop", "dodesktop", "desktop", AreaNeeds::Nothing},
    {Area::Programs, "programs", "dorun", "programs", AreaNeeds::Nothing},
    {Area::Services, "services", "doservices", "services", AreaNeeds::Nothing},
    {Area::Proxy, "proxy", "doproxy", "proxy", AreaNeeds::Nothing},
};

inline constexpr size_t kAreaCount = std::size(kAreas);

// The area's place in kAreas.
constexpr bool AreasListedInOrder()
{
    for (size_t i = 0; i < kAreaCount; ++i) {
        if (static_cast<size_t>(kAreas[i].area) != i)
            return false;
    }
    return true;
}
static_assert(AreasListedInOrder(), "kAreas lists every Area once, in the enumeration's order");

// The area's place in kAreas.
constexpr size_t AreaIndex(Area area)
{
    return static_cast<size_t>(area);
}

constexpr const AreaDescriptor& Describe(Area area)
{
    return kAreas[AreaIndex(area)];
}

// A missing option value, as program setting or in a configuration that never
// ran, reads as checked.
constexpr uint32_t kAreaOptionDefault = 1;

// One on/off state per area, as a run's option boxes give them.
class AreaSet {
public:
    bool Has(Area area) const { return on_[AreaIndex(area)]; }
    void Set(Area area, bool on) { on_[AreaIndex(area)] = on; }

private:
    std::array<bool, kAreaCount> on_{};
};

}  // namespace flipset
