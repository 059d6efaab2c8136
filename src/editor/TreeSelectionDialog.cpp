#include "editor/TreeSelectionDialog.h"

#include "resource.h"

#include <algorithm>

namespace flipset {

namespace {

constexpr COLORREF kTreeBackground = 0xFAFFFF;  // red 255, green 255, blue 250

// The state images of a tree with check boxes: 1 unticked, 2 ticked.
constexpr UINT kTickedStateImage = 2;

bool IsTicked(HWND tree, HTREEITEM item)
{
    const auto state = static_cast<UINT>(
        SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
    return (state & TVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(kTickedStateImage);
}

// A tree created with check boxes makes their images only when it first
// paints, and then unticks every item. Setting the style again after
// creation makes them at once, so the ticks given before the first paint
// stay.
void EnableCheckBoxesNow(HWND tree)
{
    const LONG_PTR style = GetWindowLongPtrA(tree, GWL_STYLE);
    SetWindowLongPtrA(tree, GWL_STYLE, style & ~static_cast<LONG_PTR>(TVS_CHECKBOXES));
    SetWindowLongPtrA(tree, GWL_STYLE, style | TVS_CHECKBOXES);
}

void Tick(HWND tree, HTREEITEM item)
{
    TVITEMA change{};
    change.mask = TVIF_STATE;
    change.hItem = item;
    change.stateMask = TVIS_STATEIMAGEMASK;
    change.state = INDEXTOSTATEIMAGEMASK(kTickedStateImage);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

}  // namespace

TreeSelectionDialog::TreeSelectionDialog() : DialogBase(IDD_TREE_SELECTION) {}

bool TreeSelectionDialog::Execute(HWND owner, StringList& ticked, const StringList& candidates,
                                  const std::string& title, const std::string& label)
{
    ticked_ = ticked;
    candidates_ = candidates;
    title_ = title;
    label_ = label;
    const bool confirmed = RunModal(owner) == IDOK;
    images_.reset();
    if (confirmed)
        ticked = ticked_;
    else
        ticked.clear();
    return confirmed;
}

bool TreeSelectionDialog::OnInitDialog()
{
    SetWindowTextA(Handle(), title_.c_str());
    SetItemText(IDC_PICKER_LABEL, label_);

    HWND tree = Item(IDC_TREE_SELECTION_TREE);
    images_.reset(ImageList_Create(16, 16, ILC_COLOR, 1, 1));
    SendMessageA(tree, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(kTreeBackground));
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));

    EnableCheckBoxesNow(tree);
    for (size_t i = 0; i < candidates_.size(); ++i)
        InsertCandidate(i);
    return true;
}

void TreeSelectionDialog::InsertCandidate(size_t index)
{
    const std::string& candidate = candidates_[index];
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(candidate.c_str());
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    // The item remembers its candidate, so the result takes the candidate's
    // text whole, however long it is.
    insert.item.lParam = static_cast<LPARAM>(index);
    HWND tree = Item(IDC_TREE_SELECTION_TREE);
    auto* item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item == nullptr)
        return;
    const bool wasTicked =
        std::any_of(ticked_.begin(), ticked_.end(),
                    [&](const std::string& entry) { return EqualsNoCase(entry, candidate); });
    if (wasTicked)
        Tick(tree, item);
}

StringList TreeSelectionDialog::TickedCandidates() const
{
    HWND tree = Item(IDC_TREE_SELECTION_TREE);
    StringList ticked;
    auto* item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item != nullptr) {
        TVITEMA read{};
        read.mask = TVIF_PARAM;
        read.hItem = item;
        const bool found =
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read)) != 0;
        const auto index = static_cast<size_t>(read.lParam);
        if (found && index < candidates_.size() && IsTicked(tree, item))
            ticked.push_back(candidates_[index]);
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return ticked;
}

void TreeSelectionDialog::OnOK()
{
    ticked_ = TickedCandidates();
    EndDialog(IDOK);
}

}  // namespace flipset
