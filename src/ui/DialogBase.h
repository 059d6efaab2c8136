// The base of every dialog of the program: a modal dialog on a numbered
// template, whose dialog procedure forwards to virtual handlers of the
// object. The object is stored with the window at WM_INITDIALOG; no
// exception crosses back into the platform.
#pragma once

#include <windows.h>

#include <string>

namespace flipset {

class DialogBase {
public:
    explicit DialogBase(int templateId) : templateId_(templateId) {}
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;
    virtual ~DialogBase() = default;

    // Runs the dialog modally over the owner; returns the result it ended
    // with, or -1 when it could not be created.
    INT_PTR RunModal(HWND owner);

    HWND Handle() const { return window_; }

protected:
    // WM_INITDIALOG: true lets the platform put the focus on the first
    // control, false says the handler has set the focus itself.
    virtual bool OnInitDialog() { return true; }
    // WM_COMMAND: true when handled. The default ends the dialog for IDOK
    // and IDCANCEL through OnOK and OnCancel.
    virtual bool OnCommand(int id, int notification, HWND control);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other message: true when handled. *result is what the dialog
    // procedure then returns: TRUE unless the handler sets another value
    // (a brush, an icon) for the few messages that return one.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    void EndDialog(INT_PTR result) { ::EndDialog(window_, result); }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked) const;
    void EnableItem(int id, bool enabled) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND window_ = nullptr;
};

// The text of any window.
std::string WindowText(HWND window);

}  // namespace flipset
