// "Proxy": whether a configuration's run uses a proxy server, which one,
// which addresses bypass it, and an automatic configuration script. OK
// stores the four values together, "ProxyEnable" 0 or 1 included, so that a
// run then sets the proxy; Cancel stores nothing.
#pragma once

#include "editor/AreaDialog.h"
#include "editor/ProxyRules.h"
#include "store/Registry.h"

namespace flipset {

class ProxyDialog : public AreaDialog {
public:
    explicit ProxyDialog(CRegistry registry);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;
    void OnOK() override;

private:
    // Each check box switches the boxes below it on or off.
    void EnableByCheckBoxes();
    // "Bypass for local addresses" adds or removes the local entry in the
    // list, and the list's text decides whether it is checked.
    void ApplyLocalBypassToList();
    void CheckLocalBypassFromList();
    // False, after telling the user what is wrong and putting the focus on
    // the box to mend, when the typed value cannot be stored.
    bool AcceptOrTell(const ProxyInput& input, UINT whatId, int control);
};

}  // namespace flipset
