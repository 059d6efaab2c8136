#include "ui/ShowMessage.h"

#include "resource.h"
#include "ui/LoadText.h"

namespace flipset {

int ShowMessage(HWND owner, const std::string& text, UINT flags)
{
    return MessageBoxA(owner, text.c_str(), LoadText(IDS_TITLE).c_str(), flags);
}

}  // namespace flipset
