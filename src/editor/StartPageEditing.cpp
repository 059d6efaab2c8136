#include "editor/StartPageEditing.h"

#include "ui/LoadText.h"
#include "editor/ConfigurationLists.h"
#include "editor/NotStoredMessage.h"
#include "editor/TooLongMessage.h"
#include "editor/ValueEntryDialog.h"
#include "resource.h"
#include "store/ConfigurationStore.h"

namespace flipset {

namespace {

// The browser's own setting, read only, always the current user's.
constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kBrowserStartPage = "Start Page";

}  // namespace

void EditStartPage(HWND owner, CRegistry registry, int number, RegistryRoot root)
{
    const std::string path = ConfigurationKeyPath(number);
    std::string page = Trim(registry.ReadString(path, ConfigurationValue::kStartPage, "", root));
    if (page.empty())
        page =
            registry.ReadString(kBrowserMainKey, kBrowserStartPage, "", RegistryRoot::CurrentUser);

    while (ValueEntryDialog().Execute(owner, page, LoadText(IDS_SELECT_HOMEPAGE_TITLE),
                                      LoadText(IDS_SELECT_HOMEPAGE_LABEL))) {
        if (!FitsTextValue(page)) {
            ShowTooLongMessage(owner, IDS_WHAT_TEXT, page.size(), kLongestTextValue);
            continue;
        }
        if (registry.WriteString(path, ConfigurationValue::kStartPage, page, root))
            return;
        ShowNotStoredMessage(owner, IDS_WHAT_START_PAGE);
    }
}

}  // namespace flipset
