// Small helpers for the text of list box entries.
#pragma once

#include <windows.h>

#include <string>

namespace flipset {

// The text of the list box's selected entry; empty when nothing is selected
// or the text cannot be read.
std::string SelectedListBoxText(HWND listBox);

}  // namespace flipset
