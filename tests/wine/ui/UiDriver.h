// Drives real dialogs and message boxes from the Wine tests, as a user would:
// windows by caption, controls by id.
//
// How steps run. A test that opens a modal dialog on its own thread queues
// steps on a UiScript and calls RunWith(body), body being the code that runs
// the dialog. body runs on the test's thread; the steps run one after the
// other on a driver thread of the script's own. The driver touches the
// dialog only through messages:
// - queries (texts, check states, list items) are sent with
//   SendMessageTimeout; the dialog's thread handles a sent message inside
//   whatever message call it makes next: the modal loop, a message box's
//   loop, or a PeekMessage filtered on one window, as the program's
//   responsive waits are. (A thread timer would not work there: a filtered
//   PeekMessage never dispatches it, which is why the driver is a thread.)
// - user actions (BM_CLICK, LBN_/CBN_ notifications) are sent without
//   waiting (SendNotifyMessage), so a click whose handler opens a message
//   box or runs a wait does not block the driver. Sent messages are handled
//   in the order they were sent, so a query after an action sees its effect
//   unless the action's handler is still busy.
// - key presses are posted, as the keyboard does, so that the dialog's own
//   IsDialogMessage turns Escape and Enter into commands. A posted message
//   is handled after sent ones: check a key's effect with a wait.
// Every wait polls until its condition holds or its deadline passes
// (10 s unless set otherwise); a wait of an in-process script also ends
// early, as a failure, once body has returned, and one of a cross-process
// script once the process has ended.
//
// Failures. An operation that cannot be done (deadline passed, no such
// control, window gone, item missing) throws UiFailure with a message that
// names the caption and control id. The script records it, skips its other
// steps and closes what it can: it answers message boxes (Cancel, No, OK,
// ...) and sends IDCANCEL and WM_CLOSE in turn to the other windows of the
// process, topmost first, until body has returned (or, cross-process, the
// process has no window left), for at most 10 s. Once body has returned,
// RunWith reports every recorded failure as a GoogleTest failure on the
// test's thread: GoogleTest is built without thread support here, so the
// steps must not use EXPECT_/ASSERT_ themselves: they capture what they read
// into the test's variables, and the test checks them after RunWith. If the
// steps end but body does not return within FinishWithin's time, that is a
// failure too, and the windows are closed the same way.
//
// Cross-process. Drive(processId) runs the steps on the calling thread
// against another process's windows (end-to-end tests of flipset.exe). The
// same operations work there: windows are found by EnumWindows and the
// window's process id, texts travel as UTF-16 (WM_GETTEXT, LB_GETTEXT and
// CB_GETLBTEXT are sent as W messages and converted to the ANSI code page:
// from another process Wine returns list texts as UTF-16 even for the A
// message).
//
// Message box icons. The icon is the message box's static control of style
// SS_ICON; STM_GETICON gives its handle, which is compared with the shared
// handles of LoadIcon(nullptr, IDI_HAND / IDI_QUESTION / IDI_EXCLAMATION /
// IDI_ASTERISK). Under Wine those handles differ from process to process and
// another process's icon cannot even be read (GetIconInfo fails with 1402),
// so the kind is known in-process only; from another process a box with an
// icon reports Unknown.
//
// Timing under Wine. With no window manager (Xvfb), Wine waits 2 s for
// every managed window that closes unless the prefix sets the string value
// "Managed" to "N" under HKCU\Software\Wine\X11 Driver; the driver works
// either way.
//
// Example (in-process):
//     std::string text;
//     UiScript script;
//     script.Then([&](Ui& ui) {
//         HWND dialog = ui.WaitForWindow("Configuration");
//         ui.SetText(dialog, 1007, "Office");
//         ui.Click(dialog, IDOK);
//         text = ui.AnswerMessageBox(IDOK).text;
//     });
//     EXPECT_TRUE(script.RunWith([&] { editor.Edit(...); }));
//     EXPECT_EQ(text, "...");
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace flipset {
namespace ui {

// Every wait's deadline unless the test sets another, in milliseconds.
constexpr DWORD kDefaultTimeout = 10000;

// Thrown by an operation of Ui that cannot be done; the message says what
// and where.
class UiFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class MessageBoxIcon { None, Stop, Question, Exclamation, Information, Unknown };

const char* IconName(MessageBoxIcon icon);

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    MessageBoxIcon icon = MessageBoxIcon::None;
};

// The operations, against the windows of one process. Not copyable: it may
// own a handle to that process.
class Ui {
public:
    explicit Ui(DWORD processId, DWORD timeout = kDefaultTimeout);
    ~Ui();
    Ui(const Ui&) = delete;
    Ui& operator=(const Ui&) = delete;

    // The deadline of the waits and of each sent message from now on.
    void SetTimeout(DWORD milliseconds) { timeout_ = milliseconds; }
    // Tells the waits when the target can no longer change: they then fail
    // at once instead of at their deadline. By default, a process other than
    // the caller's is checked for having ended.
    void SetEndedCheck(std::function<bool()> ended) { ended_ = std::move(ended); }

    [[noreturn]] void Fail(const std::string& message) const;

    // Top-level windows. Only visible windows of the process count: a dialog
    // becomes visible once its WM_INITDIALOG is done.
    std::vector<HWND> Windows() const;
    // A dialog or other window with exactly this caption (and class, when
    // given, e.g. "#32770"), never a message box; nullptr when none.
    HWND FindTopWindow(const std::string& caption, const std::string& className = "") const;
    HWND WaitForWindow(const std::string& caption, const std::string& className = "");
    // Waits until the window is destroyed or hidden (a dialog ended by
    // EndDialog is hidden first).
    void WaitUntilGone(HWND window);
    // Polls condition until it holds; what names it in the failure message.
    void WaitUntil(const std::string& what, const std::function<bool()>& condition);

    // Message boxes: a caption of "" means any.
    bool IsMessageBox(HWND window) const;
    MessageBoxInfo ReadMessageBox(HWND box);
    MessageBoxInfo WaitForMessageBox(const std::string& caption = "");
    // Presses the button (IDOK, IDYES, IDNO, ...) and waits until the box is
    // gone.
    void Answer(const MessageBoxInfo& box, int button);
    MessageBoxInfo AnswerMessageBox(int button, const std::string& caption = "");

    // Controls.
    HWND Control(HWND dialog, int id) const;
    // WM_GETTEXT: right for every window, an edit control included.
    std::string Text(HWND window);
    std::string Text(HWND dialog, int id);
    // The text a window keeps as its own (captions, buttons, statics), read
    // without a message, so it never waits for a busy window: for example the
    // title bar while a run is going on.
    std::string Caption(HWND window) const;
    void SetText(HWND dialog, int id, const std::string& text);
    void WaitForText(HWND dialog, int id, const std::string& text);
    bool IsEnabled(HWND dialog, int id) const;
    bool IsVisible(HWND dialog, int id) const;
    bool IsChecked(HWND dialog, int id);
    // BM_CLICK once the button is enabled and visible (waiting for that), so
    // the dialog gets BN_CLICKED as from the mouse.
    void Click(HWND dialog, int id);
    // Clicks a button that closes its dialog, and waits until it has.
    void ClickAndWaitUntilGone(HWND dialog, int id);
    // Clicks when the state differs, then waits for the new state. A radio
    // button can only be checked.
    void SetChecked(HWND dialog, int id, bool checked);
    // WM_COMMAND with the id, as a button or the dialog manager sends it
    // (IDCANCEL for a dialog without a Cancel button).
    void SendCommand(HWND dialog, int id);
    // WM_KEYDOWN and WM_KEYUP to the window's focused control (or the
    // window), posted as the keyboard does (VK_ESCAPE, VK_RETURN).
    void PressKey(HWND window, UINT virtualKey);
    // Any other message, sent to a window or a dialog's control and waited
    // for; its answer. It goes as an ANSI message, so a text or structure
    // it points to is the A kind (TVITEMA); a pointer reaches the window
    // only within this process.
    LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

    // List boxes. Selecting sets the selection and, when the list has
    // LBS_NOTIFY, sends LBN_SELCHANGE (and LBN_DBLCLK) to the dialog, as a
    // click does; LB_SETCURSEL alone notifies nobody.
    int ListCount(HWND dialog, int id);
    std::vector<std::string> ListItems(HWND dialog, int id);
    int ListSelection(HWND dialog, int id);  // -1 when none
    void SelectListItem(HWND dialog, int id, int index);
    void SelectListItem(HWND dialog, int id, const std::string& text);
    void DoubleClickListItem(HWND dialog, int id, const std::string& text);

    // Combo boxes: choosing an item sends CBN_SELCHANGE, as the user's
    // choice does.
    std::vector<std::string> ComboItems(HWND dialog, int id);
    int ComboSelection(HWND dialog, int id);  // -1 when none
    void SelectComboItem(HWND dialog, int id, int index);
    void SelectComboItem(HWND dialog, int id, const std::string& text);

    // "window "Caption"", "message box "Caption"", "control 1007 (Edit) of
    // "Caption"": how failure messages name a window.
    std::string Describe(HWND window) const;
    // The process's windows, described, for failure messages.
    std::string DescribeWindows() const;

private:
    // Sends and waits for the answer, failing after the timeout. A buffer
    // that the message hands to the window is passed as keepAlive: a window
    // that answers late may still write to it, so it is then left allocated.
    LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what,
                 std::unique_ptr<wchar_t[]>* keepAlive = nullptr);
    // Sends without waiting for the answer: the handler may run a loop.
    void Notify(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what);
    // The control once it is enabled and visible, as a user needs it.
    HWND UsableControl(HWND dialog, int id);
    std::vector<std::string> Items(HWND control, UINT countMessage, UINT lengthMessage,
                                   UINT textMessage);
    int IndexOf(HWND control, const std::vector<std::string>& items, const std::string& text) const;
    void ChooseListItem(HWND dialog, int id, int index, bool doubleClick);
    bool Ended() const;

    DWORD processId_;
    DWORD timeout_;
    HANDLE process_ = nullptr;
    std::function<bool()> ended_;
    // Descriptions of the windows seen, for messages about closed ones.
    mutable std::map<HWND, std::string> seen_;
};

// Steps of a test, run against the dialogs it opens; see the top of this
// file.
class UiScript {
public:
    using Step = std::function<void(Ui&)>;

    explicit UiScript(DWORD timeout = kDefaultTimeout);

    UiScript& Then(Step step);
    // How long RunWith lets body go on after the last step before it closes
    // the dialogs; kDefaultTimeout unless set.
    UiScript& FinishWithin(DWORD milliseconds);

    // Runs body on this thread and the steps on a driver thread against this
    // process's windows. True when every step was done and body returned in
    // time; otherwise each failure has been reported to GoogleTest.
    bool RunWith(const std::function<void()>& body);
    // Runs the steps on this thread against another process's windows; after
    // a failure it closes them until the process shows none.
    bool Drive(DWORD processId);

private:
    // Runs the steps; with awaitDone, then waits until done() holds. On a
    // failure, records it and closes windows until done() holds.
    void RunSteps(Ui& ui, const std::function<bool()>& done, bool awaitDone);
    void CloseWindows(Ui& ui, const std::function<bool()>& done);
    bool Report() const;

    DWORD timeout_;
    DWORD finishTimeout_ = kDefaultTimeout;
    std::vector<Step> steps_;
    std::vector<std::string> failures_;
};

}  // namespace ui
}  // namespace flipset
