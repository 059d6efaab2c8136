// The characters a configuration name may hold, and the check that the
// Configuration dialog's name edit makes on every change. Names stay plain
// so that they read the same in every code page and never carry a path
// separator, a quote or a control character.
#pragma once

#include <string>
#include <string_view>

namespace flipset {

// The allowed characters, as the program's string resource 1 holds them
// too: the space, the Latin letters, the digits and ten marks.
constexpr std::string_view kNameCharacters =
    " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!@#$&?-_.,";

// True when the byte occurs in allowed.
bool IsNameCharacter(char c, std::string_view allowed);

// The text without the bytes that are not allowed; the others keep their
// order. Nothing is trimmed.
std::string FilterName(std::string_view text, std::string_view allowed);

// What the name edit should show after the user changed it.
struct NameCheck {
    // True when the edit's text had a character that is not allowed and must
    // be replaced by text.
    bool replace = false;
    // With replace: the text trimmed, then filtered. Without: the text as
    // typed, spaces around it included.
    std::string text;
    // True when the name is not blank, so OK may store it.
    bool acceptable = false;
};

// The whole text decides whether anything is removed, so a tab or a
// backslash at either end goes as surely as one in the middle; a clean text
// is left exactly as typed.
NameCheck CheckName(std::string_view editText, std::string_view allowed);

// True when the store can hold the name and it reads back the same: not
// blank, and no control character (below 32, or 127). The characters above
// are what a person may type into the Configuration dialog; a file or
// another tool may bring any name the store holds, and import and copies
// accept it. The code page is the caller's to check.
bool IsStorableName(std::string_view name);

}  // namespace flipset
