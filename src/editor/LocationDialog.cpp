#include "editor/LocationDialog.h"

#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "resource.h"
#include "store/ConfigurationSchema.h"
#include "store/ConfigurationStore.h"
#include "ui/LoadText.h"
#include "ui/ShowMessage.h"

#include <string_view>

namespace flipset {

namespace {

namespace Value = ConfigurationValue;

// Each condition's value, its box and the text that names it.
struct ConditionBox {
    const char* valueName;
    int box;
    UINT whatId;
};
constexpr ConditionBox kConditionBoxes[] = {
    {Value::kLocationGateway, IDC_LOCATION_GATEWAY, IDS_WHAT_LOCATION_GATEWAY},
    {Value::kLocationSubnet, IDC_LOCATION_SUBNET, IDS_WHAT_LOCATION_SUBNET},
    {Value::kLocationDnsSuffix, IDC_LOCATION_DNS_SUFFIX, IDS_WHAT_LOCATION_DNS_SUFFIX},
    {Value::kLocationAdapter, IDC_LOCATION_ADAPTER, IDS_WHAT_LOCATION_ADAPTER},
    {Value::kLocationWifi, IDC_LOCATION_WIFI, IDS_WHAT_LOCATION_WIFI},
};

const ConditionBox& BoxOf(std::string_view valueName)
{
    for (const ConditionBox& box : kConditionBoxes) {
        if (valueName == box.valueName)
            return box;
    }
    return kConditionBoxes[0];
}

// The mode's buttons, in the order of its stored numbers.
constexpr int kModeButtons[] = {IDC_LOCATION_OFF, IDC_LOCATION_ASK_FIRST, IDC_LOCATION_SWITCH};

}  // namespace

LocationDialog::LocationDialog(CRegistry registry, NetworkObserver& observer)
    : AreaDialog(IDD_LOCATION, registry), observer_(observer)
{
}

bool LocationDialog::OnInitDialog()
{
    const std::string key = ConfigurationKeyPath(Number());
    for (const ConditionBox& box : kConditionBoxes) {
        // A longer text could be stored but never read back.
        SendDlgItemMessageA(Handle(), box.box, EM_LIMITTEXT, kLongestTextValue, 0);
        SetItemText(box.box, Registry().ReadString(key, box.valueName, "", Root()));
    }
    // A stored mode that is none of the three shows as off; OK stores what
    // the dialog shows.
    const uint32_t mode = Registry().ReadDword(key, Value::kLocationMode, kLocationOff, Root());
    SetChecked(kModeButtons[mode <= kLocationSwitch ? mode : kLocationOff], true);
    return true;
}

bool LocationDialog::OnCommand(int id, int notification, HWND control)
{
    if (id == IDC_LOCATION_USE_CURRENT) {
        if (notification == BN_CLICKED)
            UseCurrentNetwork();
        return true;
    }
    return DialogBase::OnCommand(id, notification, control);
}

LocationTexts LocationDialog::Texts() const
{
    return {ItemText(IDC_LOCATION_GATEWAY), ItemText(IDC_LOCATION_SUBNET),
            ItemText(IDC_LOCATION_DNS_SUFFIX), ItemText(IDC_LOCATION_ADAPTER),
            ItemText(IDC_LOCATION_WIFI)};
}

void LocationDialog::ShowTexts(const LocationTexts& texts)
{
    SetItemText(IDC_LOCATION_GATEWAY, texts.gateway);
    SetItemText(IDC_LOCATION_SUBNET, texts.subnet);
    SetItemText(IDC_LOCATION_DNS_SUFFIX, texts.dnsSuffix);
    SetItemText(IDC_LOCATION_ADAPTER, texts.adapter);
    SetItemText(IDC_LOCATION_WIFI, texts.wifi);
}

LocationMode LocationDialog::Mode() const
{
    if (IsChecked(IDC_LOCATION_SWITCH))
        return LocationMode::Switch;
    return IsChecked(IDC_LOCATION_ASK_FIRST) ? LocationMode::AskFirst : LocationMode::Off;
}

void LocationDialog::UseCurrentNetwork()
{
    const LocationTexts texts = CurrentNetworkTexts(observer_.Observe());
    if (texts.gateway.empty() && texts.subnet.empty() && texts.adapter.empty() &&
        texts.wifi.empty()) {
        ShowMessage(Handle(), LoadText(IDS_LOCATION_NO_NETWORK), MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowTexts(texts);
}

void LocationDialog::OnOK()
{
    const LocationTexts texts = Texts();
    const LocationMode mode = Mode();
    const LocationInputProblem problem = CheckLocationTexts(texts, mode);
    switch (problem.kind) {
    case LocationInputProblem::Kind::None:
        break;
    case LocationInputProblem::Kind::BadText: {
        const ConditionBox& box = BoxOf(problem.valueName);
        ShowMessage(
            Handle(),
            FormatText(IDS_LOCATION_BAD_TEXT, {LoadText(box.whatId), problem.text, problem.reason}),
            MB_OK | MB_ICONSTOP);
        SetFocus(Item(box.box));
        return;
    }
    case LocationInputProblem::Kind::NoCondition:
        ShowMessage(Handle(), LoadText(IDS_LOCATION_NO_CONDITION), MB_OK | MB_ICONSTOP);
        SetFocus(Item(IDC_LOCATION_GATEWAY));
        return;
    }

    const RegistryRoot root = Root();
    const std::string key = ConfigurationKeyPath(Number());
    const uint32_t storedMode = mode == LocationMode::Switch     ? kLocationSwitch
                                : mode == LocationMode::AskFirst ? kLocationAskFirst
                                                                 : kLocationOff;
    // The first value refused ends the writing: those before it stay written,
    // and the dialog stays open, so the next OK writes them all again.
    bool stored = Registry().WriteDword(key, Value::kLocationMode, storedMode, root);
    for (const ConditionBox& box : kConditionBoxes)
        stored = stored && Registry().WriteString(key, box.valueName, ItemText(box.box), root);
    if (!stored) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_LOCATION);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace flipset
