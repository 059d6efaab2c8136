// The rules of the Selection list that need no window: which buttons a list
// and its selection allow, and moving the selected entry one place.
#pragma once

#include "base/Text.h"

namespace flipset {

// A selection of -1 (or any index outside the list) means none.
constexpr int kNoSelection = -1;

struct SelectionListButtons {
    bool addEnabled;
    bool deleteEnabled;
    bool upEnabled;
    bool downEnabled;
};

// Add is always enabled; Delete, Up and Down need a selected entry, Up one
// that is not the first and Down one that is not the last.
SelectionListButtons SelectionListButtonStates(int count, int selection);

// Swaps the selected entry with the one above it and selects it there; true
// when it moved. Nothing changes for the first entry or no selection.
bool MoveSelectedEntryUp(StringList& entries, int& selection);
// The same with the entry below it; nothing changes for the last entry.
bool MoveSelectedEntryDown(StringList& entries, int& selection);

}  // namespace flipset
