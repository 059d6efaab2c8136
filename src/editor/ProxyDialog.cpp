#include "editor/ProxyDialog.h"

#include "ui/LoadText.h"
#include "ui/ShowMessage.h"
#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "editor/TooLongMessage.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

namespace {

const int kProxyBoxes[] = {IDC_PROXY_SERVER_LABEL, IDC_PROXY_SERVER,       IDC_PROXY_PORT_LABEL,
                           IDC_PROXY_PORT,         IDC_PROXY_BYPASS_LOCAL, IDC_PROXY_BYPASS_LABEL,
                           IDC_PROXY_BYPASS};
const int kScriptBoxes[] = {IDC_PROXY_SCRIPT_LABEL, IDC_PROXY_SCRIPT};

// The box where the problem is mended.
int ServerBoxToMend(ProxyInputProblem problem)
{
    switch (problem) {
    case ProxyInputProblem::BadPort:
    case ProxyInputProblem::PortInServer:
    case ProxyInputProblem::PortPerScheme:
        return IDC_PROXY_PORT;
    default:
        return IDC_PROXY_SERVER;
    }
}

}  // namespace

ProxyDialog::ProxyDialog(CRegistry registry) : AreaDialog(IDD_PROXY, registry) {}

bool ProxyDialog::OnInitDialog()
{
    const RegistryRoot root = Root();
    const std::string key = ConfigurationKeyPath(Number());
    const bool useProxy = Registry().ReadDword(key, ConfigurationValue::kProxyEnable, 0, root) != 0;
    const ProxyServerFields server =
        SplitProxyServer(Registry().ReadString(key, ConfigurationValue::kProxyServer, "", root));
    const std::string bypass =
        Registry().ReadString(key, ConfigurationValue::kProxyOverride, "", root);
    const std::string script =
        Registry().ReadString(key, ConfigurationValue::kAutoConfigUrl, "", root);

    SetChecked(IDC_PROXY_USE, useProxy);
    SetItemText(IDC_PROXY_SERVER, server.server);
    SetItemText(IDC_PROXY_PORT, server.port);
    SetItemText(IDC_PROXY_BYPASS, bypass);
    CheckLocalBypassFromList();
    SetChecked(IDC_PROXY_USE_SCRIPT, !script.empty());
    SetItemText(IDC_PROXY_SCRIPT, script);
    EnableByCheckBoxes();
    return true;
}

bool ProxyDialog::OnCommand(int id, int notification, HWND control)
{
    switch (id) {
    case IDC_PROXY_USE:
    case IDC_PROXY_USE_SCRIPT:
        if (notification == BN_CLICKED)
            EnableByCheckBoxes();
        return true;
    case IDC_PROXY_BYPASS_LOCAL:
        if (notification == BN_CLICKED)
            ApplyLocalBypassToList();
        return true;
    case IDC_PROXY_BYPASS:
        if (notification == EN_CHANGE)
            CheckLocalBypassFromList();
        return true;
    default:
        return DialogBase::OnCommand(id, notification, control);
    }
}

void ProxyDialog::EnableByCheckBoxes()
{
    const bool useProxy = IsChecked(IDC_PROXY_USE);
    for (int id : kProxyBoxes)
        EnableItem(id, useProxy);
    const bool useScript = IsChecked(IDC_PROXY_USE_SCRIPT);
    for (int id : kScriptBoxes)
        EnableItem(id, useScript);
}

void ProxyDialog::ApplyLocalBypassToList()
{
    // Sends EN_CHANGE, which finds the check box as the list now says.
    SetItemText(IDC_PROXY_BYPASS,
                WithLocalBypass(ItemText(IDC_PROXY_BYPASS), IsChecked(IDC_PROXY_BYPASS_LOCAL)));
}

void ProxyDialog::CheckLocalBypassFromList()
{
    SetChecked(IDC_PROXY_BYPASS_LOCAL, HasLocalBypass(ItemText(IDC_PROXY_BYPASS)));
}

bool ProxyDialog::AcceptOrTell(const ProxyInput& input, UINT whatId, int control)
{
    std::string text;
    switch (input.problem) {
    case ProxyInputProblem::None:
        return true;
    case ProxyInputProblem::TooLong:
        ShowTooLongMessage(Handle(), whatId, input.text.size(), kLongestTextValue);
        break;
    case ProxyInputProblem::Missing:
        text = LoadText(control == IDC_PROXY_SCRIPT ? IDS_PROXY_NO_SCRIPT : IDS_PROXY_NO_SERVER);
        break;
    case ProxyInputProblem::BadCharacters:
        text = FormatText(IDS_PROXY_SPACES, {LoadText(whatId)});
        break;
    case ProxyInputProblem::PortWithoutServer:
        text = LoadText(IDS_PROXY_PORT_WITHOUT_SERVER);
        break;
    case ProxyInputProblem::PortInServer:
        text = FormatText(IDS_PROXY_PORT_IN_SERVER, {input.text});
        break;
    case ProxyInputProblem::PortPerScheme:
        text = LoadText(IDS_PROXY_PORT_PER_SCHEME);
        break;
    case ProxyInputProblem::BadPort:
        text = LoadText(IDS_PROXY_BAD_PORT);
        break;
    }
    if (!text.empty())
        ShowMessage(Handle(), text, MB_OK | MB_ICONSTOP);
    // A box switched off by its check box keeps its text, and OK still
    // checks it: the message names it, and the check box opens it again.
    if (IsWindowEnabled(Item(control)))
        SetFocus(Item(control));
    return false;
}

void ProxyDialog::OnOK()
{
    const bool useProxy = IsChecked(IDC_PROXY_USE);
    const ProxyInput server =
        JoinProxyServer(ItemText(IDC_PROXY_SERVER), ItemText(IDC_PROXY_PORT), useProxy);
    if (!AcceptOrTell(server, IDS_WHAT_PROXY_SERVER, ServerBoxToMend(server.problem)))
        return;
    const ProxyInput bypass = CheckBypassList(ItemText(IDC_PROXY_BYPASS));
    if (!AcceptOrTell(bypass, IDS_WHAT_BYPASS_LIST, IDC_PROXY_BYPASS))
        return;
    const ProxyInput script =
        CheckScriptAddress(ItemText(IDC_PROXY_SCRIPT), IsChecked(IDC_PROXY_USE_SCRIPT));
    if (!AcceptOrTell(script, IDS_WHAT_SCRIPT_ADDRESS, IDC_PROXY_SCRIPT))
        return;

    const RegistryRoot root = Root();
    const std::string key = ConfigurationKeyPath(Number());
    // The first value refused ends the writing: those before it stay written,
    // and the dialog stays open, so the next OK writes them all again.
    const bool stored =
        Registry().WriteDword(key, ConfigurationValue::kProxyEnable, useProxy ? 1 : 0, root) &&
        Registry().WriteString(key, ConfigurationValue::kProxyServer, server.text, root) &&
        Registry().WriteString(key, ConfigurationValue::kProxyOverride, bypass.text, root) &&
        Registry().WriteString(key, ConfigurationValue::kAutoConfigUrl, script.text, root);
    if (!stored) {
        ShowNotStoredMessage(Handle(), IDS_WHAT_PROXY_SETTINGS);
        return;
    }
    EndDialog(IDOK);
}

}  // namespace flipset
