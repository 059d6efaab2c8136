#include "ui/DialogBase.h"

#include <vector>

namespace flipset {

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

INT_PTR DialogBase::RunModal(HWND owner)
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogBase* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<DialogBase*>(lParam);
        dialog->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (dialog == nullptr)
        return FALSE;
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the platform's dialog manager; a
        // handler that failed leaves the message as unhandled.
        return FALSE;
    }
}

INT_PTR DialogBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                         : FALSE;
    default: {
        INT_PTR result = TRUE;
        if (!OnMessage(message, wParam, lParam, &result))
            return FALSE;
        return result;
    }
    }
}

bool DialogBase::OnCommand(int id, int /*notification*/, HWND /*control*/)
{
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool DialogBase::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                           INT_PTR* /*result*/)
{
    return false;
}

std::string DialogBase::ItemText(int id) const
{
    return WindowText(Item(id));
}

void DialogBase::SetItemText(int id, const std::string& text) const
{
    SetDlgItemTextA(window_, id, text.c_str());
}

bool DialogBase::IsChecked(int id) const
{
    return SendDlgItemMessageA(window_, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogBase::SetChecked(int id, bool checked) const
{
    SendDlgItemMessageA(window_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DialogBase::EnableItem(int id, bool enabled) const
{
    EnableWindow(Item(id), enabled ? TRUE : FALSE);
}

}  // namespace flipset
