#include "editor/SelectionListDialog.h"

#include "ui/LoadText.h"
#include "editor/RunFileDialog.h"
#include "editor/SelectionListRules.h"
#include "editor/TreeSelectionDialog.h"
#include "resource.h"

namespace flipset {

namespace {

bool IsServicesMode(int mode)
{
    return mode == StopServicesMode || mode == StartServicesMode;
}

}  // namespace

SelectionListDialog::SelectionListDialog(ServiceManager& services)
    : DialogBase(IDD_SELECTION_LIST), services_(services)
{
}

bool SelectionListDialog::Execute(HWND owner, int mode, StringList& entries)
{
    mode_ = mode;
    entries_ = entries;
    if (RunModal(owner) != IDOK)
        return false;
    entries = entries_;
    return true;
}

bool SelectionListDialog::OnInitDialog()
{
    if (IsServicesMode(mode_))
        SetItemText(IDC_SELECTION_ADD, LoadText(IDS_EDIT));
    FillList();
    UpdateButtons();
    SetFocus(Item(IDC_SELECTION_LIST));
    return false;
}

bool SelectionListDialog::OnCommand(int id, int notification, HWND control)
{
    switch (id) {
    case IDC_SELECTION_LIST:
        if (notification == LBN_SELCHANGE)
            UpdateButtons();
        return true;
    case IDC_SELECTION_ADD:
        Add();
        return true;
    case IDC_SELECTION_DELETE:
        DeleteSelected();
        return true;
    case IDC_SELECTION_UP:
        MoveSelected(true);
        return true;
    case IDC_SELECTION_DOWN:
        MoveSelected(false);
        return true;
    default:
        return DialogBase::OnCommand(id, notification, control);
    }
}

void SelectionListDialog::Add()
{
    if (mode_ == RunListMode)
        AddProgram();
    else if (IsServicesMode(mode_))
        EditServices();
    UpdateButtons();
}

void SelectionListDialog::AddProgram()
{
    std::string entry;
    if (!RunFileDialog().Execute(Handle(), entry))
        return;
    entries_.push_back(entry);
    SendDlgItemMessageA(Handle(), IDC_SELECTION_LIST, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(entry.c_str()));
}

void SelectionListDialog::EditServices()
{
    StringList ticked = entries_;
    StringList candidates;
    EnumerateServices(services_, candidates);
    // Both service lists use the same title.
    if (!TreeSelectionDialog().Execute(Handle(), ticked, candidates,
                                       LoadText(IDS_SELECT_SERVICES_TITLE),
                                       LoadText(IDS_SELECT_SERVICES_LABEL)))
        return;
    entries_ = ticked;
    FillList();
}

void SelectionListDialog::DeleteSelected()
{
    const int selection = Selection();
    if (selection >= 0 && static_cast<size_t>(selection) < entries_.size()) {
        entries_.erase(entries_.begin() + selection);
        SendDlgItemMessageA(Handle(), IDC_SELECTION_LIST, LB_DELETESTRING,
                            static_cast<WPARAM>(selection), 0);
    }
    UpdateButtons();
}

void SelectionListDialog::MoveSelected(bool up)
{
    int selection = Selection();
    const bool moved =
        up ? MoveSelectedEntryUp(entries_, selection) : MoveSelectedEntryDown(entries_, selection);
    if (!moved)
        return;
    FillList();
    SendDlgItemMessageA(Handle(), IDC_SELECTION_LIST, LB_SETCURSEL, static_cast<WPARAM>(selection),
                        0);
    UpdateButtons();
}

void SelectionListDialog::UpdateButtons() const
{
    const SelectionListButtons buttons =
        SelectionListButtonStates(static_cast<int>(entries_.size()), Selection());
    EnableItem(IDC_SELECTION_ADD, buttons.addEnabled);
    EnableItem(IDC_SELECTION_DELETE, buttons.deleteEnabled);
    EnableItem(IDC_SELECTION_UP, buttons.upEnabled);
    EnableItem(IDC_SELECTION_DOWN, buttons.downEnabled);
}

void SelectionListDialog::FillList() const
{
    HWND list = Item(IDC_SELECTION_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& text : entries_)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int SelectionListDialog::Selection() const
{
    return static_cast<int>(SendDlgItemMessageA(Handle(), IDC_SELECTION_LIST, LB_GETCURSEL, 0, 0));
}

}  // namespace flipset
