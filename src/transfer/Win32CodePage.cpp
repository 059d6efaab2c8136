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

// Every ANSI code page and UTF-8 hold the characters below 0x80 as the same
// single bytes, so such a text is already converted: most texts of a
// configuration are, and a file holds thousands of them.
bool IsAscii(const std::string& text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

bool Win32CodePage::ToUtf8(const std::string& ansi, std::string& utf8) const
{
    if (IsAscii(ansi)) {
        utf8 = ansi;
        return true;
    }
    std::wstring wide;
    return ToWide(CP_ACP, MB_ERR_INVALID_CHARS, ansi, wide) &&
           FromWide(CP_UTF8, 0, wide, utf8, nullptr);
}

bool Win32CodePage::FromUtf8(const std::string& utf8, std::string& ansi) const
{
    if (IsAscii(utf8)) {
        ansi = utf8;
        return true;
    }
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
