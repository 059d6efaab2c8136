#include "base/NameFilter.h"

#include "base/Text.h"

#include <algorithm>

namespace flipset {

bool IsNameCharacter(char c, std::string_view allowed)
{
    return allowed.find(c) != std::string_view::npos;
}

std::string FilterName(std::string_view text, std::string_view allowed)
{
    std::string filtered;
    filtered.reserve(text.size());
    for (char c : text) {
        if (IsNameCharacter(c, allowed))
            filtered += c;
    }
    return filtered;
}

NameCheck CheckName(std::string_view editText, std::string_view allowed)
{
    NameCheck check;
    check.replace = !std::all_of(editText.begin(), editText.end(),
                                 [allowed](char c) { return IsNameCharacter(c, allowed); });
    check.text = check.replace ? FilterName(Trim(editText), allowed) : std::string(editText);
    check.acceptable = !Trim(check.text).empty();
    return check;
}

bool IsStorableName(std::string_view name)
{
    bool blank = true;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
        blank = blank && c == ' ';
    }
    return !blank;
}

}  // namespace flipset
