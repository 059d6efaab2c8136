// The program's texts, from its string table by IDS_ id, so that every text
// a window shows lives in one place.
#pragma once

#include "base/Text.h"

#include <windows.h>

#include <string>

namespace flipset {

// The text of that id; empty when the program has none.
std::string LoadText(UINT id);

// The text of that id with %1, %2, ... replaced by the arguments
// (FillPlaceholders: an argument is never read as a pattern).
std::string FormatText(UINT id, const StringList& arguments);

}  // namespace flipset
