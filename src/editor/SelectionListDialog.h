// "Selection": an ordered list of texts with Add (or Edit), Delete, Up and
// Down: the programs to run, or the services to stop or to start.
#pragma once

#include "ui/DialogBase.h"
#include "base/Text.h"
#include "engine/ServiceControl.h"

namespace flipset {

// What the list holds, and so what Add does.
constexpr int RunListMode = 1;        // Add asks for a program to run
constexpr int StopServicesMode = 2;   // Edit ticks installed services
constexpr int StartServicesMode = 3;  // the same

class SelectionListDialog : public DialogBase {
public:
    // The services are listed for Edit in the service modes.
    explicit SelectionListDialog(ServiceManager& services);

    // Shows the entries in order. On OK, entries becomes the list's texts
    // from first to last and the result is true; on Cancel entries is left
    // as it was.
    bool Execute(HWND owner, int mode, StringList& entries);

private:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notification, HWND control) override;

    void Add();
    void AddProgram();
    void EditServices();
    void DeleteSelected();
    void MoveSelected(bool up);
    void UpdateButtons() const;

    void FillList() const;
    int Selection() const;

    ServiceManager& services_;
    int mode_ = RunListMode;
    // The list box's texts, in its order. The dialog keeps them itself and
    // never reads them back from the list box, which under Wine cannot hand
    // back a long text through the ANSI message.
    StringList entries_;
};

}  // namespace flipset
