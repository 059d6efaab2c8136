// "Make Selection": a list of check boxes from which the user ticks items,
// for example the services to stop. It has no Cancel button: closing the
// window cancels.
#pragma once

#include "ui/DialogBase.h"
#include "base/Text.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <type_traits>

namespace flipset {

class TreeSelectionDialog : public DialogBase {
public:
    TreeSelectionDialog();

    // Shows one item per candidate, in order, ticked when the candidate
    // equals an entry of ticked ignoring case. On OK, ticked becomes the
    // ticked candidates in tree order (in the candidates' letter case) and
    // the result is true; otherwise ticked is emptied and the result is
    // false.
    bool Execute(HWND owner, StringList& ticked, const StringList& candidates,
                 const std::string& title, const std::string& label);

private:
    struct ImageListDeleter {
        void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
    };
    using ImageListOwner = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

    bool OnInitDialog() override;
    void OnOK() override;

    void InsertCandidate(size_t index);
    StringList TickedCandidates() const;

    StringList ticked_;
    StringList candidates_;
    std::string title_;
    std::string label_;
    // The tree's normal image list: empty, it only gives the items their
    // indent. The tree never destroys it, so the dialog does, after the
    // window is gone.
    ImageListOwner images_;
};

}  // namespace flipset
