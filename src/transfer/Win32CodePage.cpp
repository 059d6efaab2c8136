#include "transfer/Win32CodePage.h"

#include <windows.h>

#include <climits>
#include <string>

namespace flipset {

namespace {

bool ToWide(UINT codePage, DWORD flags, const std::string& text, std::wstring& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return false;
    wide.resize(static_cast<size_t>(needed));
    return MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed) == needed;
}

// usedDefault may be null: the UTF-8 code page refuses the argument.
bool FromWide(UINT codePage, DWORD flags, const std::wstring& wide, std::string& text,
              BOOL* usedDefault)
{
    text.clear();
    if (wide.empty())
        return true;
    if (wide.size() > INT_MAX / 4)
        return false;
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    if (needed <= 0)
        return false;
    text.resize(static_cast<size_t>(needed));
    return WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), needed, nullptr,
                               usedDefault) == needed;
}

}  // namespace

bool Win32CodePage::ToUtf8(const std::string& ansi, std::string& utf8) const
{
    std::wstring wide;
    return ToWide(CP_ACP, MB_ERR_INVALID_CHARS, ansi, wide) &&
           FromWide(CP_UTF8, 0, wide, utf8, nullptr);
}

bool Win32CodePage::FromUtf8(const std::string& utf8, std::string& ansi) const
{
    std::wstring wide;
    if (!ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide))
        return false;
    BOOL usedDefault = FALSE;
    if (!FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, ansi, &usedDefault) || usedDefault)
        return false;
    // Some code pages map several characters to one byte sequence without
    // reporting a default; only a text that comes back unchanged is held.
    std::wstring back;
    return ToWide(CP_ACP, 0, ansi, back) && back == wide;
}

}  // namespace flipset
