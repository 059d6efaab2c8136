#include "editor/SelectionListRules.h"

#include <utility>

namespace flipset {

namespace {

bool IsSelected(int count, int selection)
{
    return selection >= 0 && selection < count;
}

int Count(const StringList& entries)
{
    return static_cast<int>(entries.size());
}

}  // namespace

SelectionListButtons SelectionListButtonStates(int count, int selection)
{
    if (!IsSelected(count, selection))
        return {true, false, false, false};
    return {true, true, selection > 0, selection < count - 1};
}

bool MoveSelectedEntryUp(StringList& entries, int& selection)
{
    if (!IsSelected(Count(entries), selection) || selection == 0)
        return false;
    const auto s = static_cast<size_t>(selection);
    std::swap(entries[s], entries[s - 1]);
    --selection;
    return true;
}

bool MoveSelectedEntryDown(StringList& entries, int& selection)
{
    if (!IsSelected(Count(entries), selection) || selection == Count(entries) - 1)
        return false;
    const auto s = static_cast<size_t>(selection);
    std::swap(entries[s], entries[s + 1]);
    ++selection;
    return true;
}

}  // namespace flipset
