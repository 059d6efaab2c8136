#include "ui/ListBoxText.h"

#include <algorithm>
#include <vector>

namespace flipset {

std::string SelectedListBoxText(HWND listBox)
{
    const LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return std::string();
    const LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0)
        return std::string();
    // The length may count more than the text when the entry holds multibyte
    // characters, so the text ends where the copy says it does.
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const LRESULT copied = SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == LB_ERR || copied <= 0)
        return std::string();
    return std::string(buffer.data(), std::min(static_cast<size_t>(copied), buffer.size() - 1));
}

}  // namespace flipset
