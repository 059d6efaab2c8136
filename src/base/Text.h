// Small text helpers shared by every subsystem. Texts are 8-bit ANSI strings;
// "white space" is the C locale's: space, tab, CR, LF, vertical tab, form feed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flipset {

using StringList = std::vector<std::string>;

bool IsWhiteSpace(char c);

// The text without white space at either end.
std::string Trim(std::string_view text);

// True when the texts are equal ignoring the case of the ASCII letters; every
// other byte must match exactly (configuration names, card numbers and service
// names are ASCII in practice).
bool EqualsNoCase(std::string_view a, std::string_view b);

// The text with its ASCII letters in lower case: two texts are EqualsNoCase
// exactly when their folded forms are equal, so a folded form can key a map.
std::string FoldCase(std::string_view text);

// The value of a hexadecimal digit, either case; -1 for any other character.
int HexDigitValue(char c);

// The entries one after the other, the separator between each two.
std::string JoinText(const StringList& entries, char separator);

// The number formed by the leading decimal digits of the text, or 0 when it
// does not begin with a digit or when the digits describe a number above
// 2147483647: a key name that cannot be a 32-bit signed number never stands
// for one.
int LeadingNumber(std::string_view text);

// The pattern with each %1 ... %9 replaced by that argument, in one pass: an
// argument is copied as it is, never read as a pattern. A placeholder
// without an argument, and any other "%", stay as written.
std::string FillPlaceholders(std::string_view pattern, const StringList& arguments);

}  // namespace flipset
