// The main window's option boxes, one per area, and the network action at
// start: as last left, as the selected configuration last ran, and stored
// as the user clicks them.
#include "app/MainDialog.h"

#include "engine/SystemInfo.h"
#include "resource.h"

#include <iterator>

namespace flipset {

namespace {

// Each area's option box, in the order of the areas' list.
constexpr int kOptionBoxIds[] = {IDC_MAIN_FILES,    IDC_MAIN_NETWORK,  IDC_MAIN_DESKTOP,
                                 IDC_MAIN_PROGRAMS, IDC_MAIN_SERVICES, IDC_MAIN_PROXY};
static_assert(std::size(kOptionBoxIds) == kAreaCount, "every area has its option box");

int OptionBoxId(Area area)
{
    return kOptionBoxIds[AreaIndex(area)];
}

struct StartupRadio {
    int id;
    uint32_t option;
};
constexpr StartupRadio kStartupRadios[] = {
    {IDC_MAIN_STARTUP_NOTHING, kStartupDoNothing},
    {IDC_MAIN_STARTUP_ENABLE, kStartupEnableAllCards},
    {IDC_MAIN_STARTUP_DISABLE, kStartupDisableAllCards},
};

}  // namespace

bool MainDialog::NetworkFeaturesAvailable() const
{
    return flipset::NetworkFeaturesAvailable(platform_.system);
}

// The option boxes and the start-up radio buttons as last left.
void MainDialog::LoadProgramOptions()
{
    const ProgramSettings settings = Settings();
    for (const AreaDescriptor& area : kAreas) {
        const int box = OptionBoxId(area.area);
        SetChecked(box, settings.Read(ProgramSettings::AreaOptionSetting(area.area)) != 0);
        if (!IsAreaAvailable(area.area, platform_.system)) {
            SetChecked(box, false);
            EnableItem(box, false);
        }
    }

    uint32_t startupOption = settings.Read(ProgramSettings::kStartupOption);
    if (!NetworkFeaturesAvailable()) {
        EnableItem(IDC_MAIN_ENABLE_ALL_NOW, false);
        EnableItem(IDC_MAIN_DISABLE_ALL_NOW, false);
        startupOption = kStartupDoNothing;  // shown, not stored
        for (const StartupRadio& radio : kStartupRadios)
            EnableItem(radio.id, false);
        EnableItem(IDC_MAIN_STARTUP_GROUP, false);
    }
    for (const StartupRadio& radio : kStartupRadios)
        SetChecked(radio.id, radio.option == startupOption);
}

void MainDialog::LoadSelectedOptions()
{
    const int configuration = GetSelectedConfigurationNumber();
    if (configuration >= 1) {
        const std::string key = ConfigurationKeyPath(configuration);
        for (const AreaDescriptor& area : kAreas) {
            const int box = OptionBoxId(area.area);
            if (!IsAreaAvailable(area.area, platform_.system)) {
                SetChecked(box, false);
                continue;
            }
            SetChecked(box,
                       registry_.ReadDword(key, area.optionValue, kAreaOptionDefault, Root()) != 0);
        }
    }
    UpdateButtons();
}

void MainDialog::OnOptionClicked(int id, Area area)
{
    uint32_t state = SendDlgItemMessageA(Handle(), id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    if (!IsAreaAvailable(area, platform_.system))
        state = 0;
    // The box chooses what a preview shows even without administrator
    // rights; only its memory for the next start is lost when a shared
    // root refuses it.
    (void)Settings().Write(ProgramSettings::AreaOptionSetting(area), state);
    UpdateButtons();
}

bool MainDialog::IsOptionChecked(Area area) const
{
    return SendDlgItemMessageA(Handle(), OptionBoxId(area), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool MainDialog::AnyOptionChecked() const
{
    for (const AreaDescriptor& area : kAreas) {
        if (IsOptionChecked(area.area))
            return true;
    }
    return false;
}

bool MainDialog::OnOptionCommand(int id)
{
    for (const AreaDescriptor& area : kAreas) {
        if (OptionBoxId(area.area) == id) {
            OnOptionClicked(id, area.area);
            return true;
        }
    }
    for (const StartupRadio& radio : kStartupRadios) {
        if (radio.id == id) {
            // A setting that a refused write would lose: the buttons show
            // the stored one again.
            if (MayWrite(Writes::Configurations)) {
                (void)Settings().Write(ProgramSettings::kStartupOption, radio.option);
            } else {
                const uint32_t stored = Settings().Read(ProgramSettings::kStartupOption);
                for (const StartupRadio& each : kStartupRadios)
                    SetChecked(each.id, each.option == stored);
            }
            return true;
        }
    }
    return false;
}

}  // namespace flipset
