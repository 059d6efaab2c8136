#include "wine/ui/UiDriver.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace flipset {
namespace ui {
namespace {

constexpr DWORD kPollInterval = 20;    // ms between two looks at a wait's condition
constexpr DWORD kCloseInterval = 200;  // ms between two rounds of closing windows
constexpr DWORD kCloseDeadline = kDefaultTimeout;
constexpr int kMessageBoxTextId = 0xFFFF;

// The buttons tried, in this order, to get rid of a message box.
constexpr int kEscapeButtons[] = {IDCANCEL, IDNO, IDOK, IDABORT, IDIGNORE, IDCLOSE, IDCONTINUE};

std::string Narrow(const wchar_t* text, int length)
{
    if (length <= 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

std::unique_ptr<wchar_t[]> Widen(const std::string& text)
{
    const int length = static_cast<int>(text.size());
    const int size =
        length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    auto result = std::make_unique<wchar_t[]>(static_cast<size_t>(std::max(size, 0)) + 1);
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.get(), size);
    return result;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The class name as registered, without the version prefix ("6.0...!Button")
// that the visual-styles controls may carry.
std::string BaseClass(HWND window)
{
    char name[256];
    const int length = GetClassNameA(window, name, sizeof name);
    const std::string full(name, length > 0 ? static_cast<size_t>(length) : 0);
    const size_t bang = full.rfind('!');
    return bang == std::string::npos ? full : full.substr(bang + 1);
}

// The window's own text without sending it a message, so a busy or hung
// window cannot block the driver. Right for captions, buttons and statics;
// an edit control's content needs WM_GETTEXT.
std::string StoredText(HWND window)
{
    wchar_t buffer[1024];
    const int length = InternalGetWindowText(window, buffer, static_cast<int>(std::size(buffer)));
    return Narrow(buffer, length);
}

LONG Style(HWND window)
{
    return GetWindowLongW(window, GWL_STYLE);
}

bool IsRadioButton(HWND control)
{
    const LONG type = Style(control) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// A message box is a dialog of buttons and statics only, one of them the
// static with id 0xFFFF that holds the text.
struct MessageBoxParts {
    HWND text = nullptr;
    HWND icon = nullptr;
    bool hasButton = false;
};

bool FindMessageBoxParts(HWND window, MessageBoxParts& parts)
{
    parts = MessageBoxParts();
    if (BaseClass(window) != "#32770")
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = BaseClass(child);
        if (EqualsNoCase(kind, "Button")) {
            parts.hasButton = true;
        } else if (EqualsNoCase(kind, "Static")) {
            if ((Style(child) & SS_TYPEMASK) == SS_ICON)
                parts.icon = child;
            else if ((GetDlgCtrlID(child) & 0xFFFF) == kMessageBoxTextId)
                parts.text = child;
        } else {
            return false;
        }
    }
    return parts.text != nullptr && parts.hasButton;
}

MessageBoxIcon IconKind(HICON icon)
{
    if (icon == nullptr)
        return MessageBoxIcon::None;
    const struct {
        LPCSTR resource;
        MessageBoxIcon kind;
    } kinds[] = {
        {IDI_HAND, MessageBoxIcon::Stop},
        {IDI_QUESTION, MessageBoxIcon::Question},
        {IDI_EXCLAMATION, MessageBoxIcon::Exclamation},
        {IDI_ASTERISK, MessageBoxIcon::Information},
    };
    for (const auto& candidate : kinds) {
        if (LoadIconA(nullptr, candidate.resource) == icon)
            return candidate.kind;
    }
    return MessageBoxIcon::Unknown;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

const char* IconName(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::None:
        return "none";
    case MessageBoxIcon::Stop:
        return "stop";
    case MessageBoxIcon::Question:
        return "question";
    case MessageBoxIcon::Exclamation:
        return "exclamation";
    case MessageBoxIcon::Information:
        return "information";
    case MessageBoxIcon::Unknown:
        break;
    }
    return "unknown";
}

Ui::Ui(DWORD processId, DWORD timeout) : processId_(processId), timeout_(timeout)
{
    if (processId != GetCurrentProcessId())
        process_ = OpenProcess(SYNCHRONIZE, FALSE, processId);
}

Ui::~Ui()
{
    if (process_ != nullptr)
        CloseHandle(process_);
}

void Ui::Fail(const std::string& message) const
{
    throw UiFailure(message);
}

bool Ui::Ended() const
{
    if (ended_)
        return ended_();
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

std::vector<HWND> Ui::Windows() const
{
    WindowSearch search{processId_, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Ui::FindTopWindow(const std::string& caption, const std::string& className) const
{
    for (HWND window : Windows()) {
        if (StoredText(window) == caption &&
            (className.empty() || EqualsNoCase(BaseClass(window), className)) &&
            !IsMessageBox(window))
            return window;
    }
    return nullptr;
}

HWND Ui::WaitForWindow(const std::string& caption, const std::string& className)
{
    HWND found = nullptr;
    std::string what = "window " + Quoted(caption);
    if (!className.empty())
        what += " of class " + className;
    WaitUntil(what, [&] { return (found = FindTopWindow(caption, className)) != nullptr; });
    Describe(found);  // remembered for messages once it has closed
    return found;
}

void Ui::WaitUntilGone(HWND window)
{
    const std::string what = Describe(window) + " to close";
    WaitUntil(what, [window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

void Ui::WaitUntil(const std::string& what, const std::function<bool()>& condition)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return;
        if (Ended()) {
            // One more look: the condition may have come true just before.
            if (condition())
                return;
            Fail("gave up waiting for " + what + ": " +
                 (process_ != nullptr ? "the process has ended" : "the dialog code has returned"));
        }
        if (GetTickCount() - start >= timeout_)
            Fail("timed out after " + std::to_string(timeout_) + " ms waiting for " + what + "; " +
                 DescribeWindows());
        Sleep(kPollInterval);
    }
}

bool Ui::IsMessageBox(HWND window) const
{
    MessageBoxParts parts;
    return FindMessageBoxParts(window, parts);
}

MessageBoxInfo Ui::ReadMessageBox(HWND box)
{
    MessageBoxParts parts;
    if (!FindMessageBoxParts(box, parts))
        Fail(Describe(box) + " is not a message box");
    MessageBoxInfo info;
    info.window = box;
    info.caption = StoredText(box);
    info.text = StoredText(parts.text);
    if (parts.icon != nullptr)
        info.icon =
            IconKind(reinterpret_cast<HICON>(Send(parts.icon, STM_GETICON, 0, 0, "STM_GETICON")));
    Describe(box);
    return info;
}

MessageBoxInfo Ui::WaitForMessageBox(const std::string& caption)
{
    HWND found = nullptr;
    const std::string what = caption.empty() ? "a message box" : "message box " + Quoted(caption);
    WaitUntil(what, [&] {
        for (HWND window : Windows()) {
            if (IsMessageBox(window) && (caption.empty() || StoredText(window) == caption)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return ReadMessageBox(found);
}

void Ui::Answer(const MessageBoxInfo& box, int button)
{
    Click(box.window, button);
    WaitUntilGone(box.window);
}

MessageBoxInfo Ui::AnswerMessageBox(int button, const std::string& caption)
{
    const MessageBoxInfo box = WaitForMessageBox(caption);
    Answer(box, button);
    return box;
}

HWND Ui::Control(HWND dialog, int id) const
{
    if (!IsWindow(dialog))
        Fail("no control " + std::to_string(id) + ": " + Describe(dialog));
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        Fail("no control " + std::to_string(id) + " in " + Describe(dialog));
    return control;
}

LRESULT Ui::SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(window))
        Fail("cannot send message " + std::to_string(message) + ": " + Describe(window));
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeout_, &answer) == 0)
        Fail(Describe(window) + " did not answer message " + std::to_string(message) + " within " +
             std::to_string(timeout_) + " ms");
    return static_cast<LRESULT>(answer);
}

LRESULT Ui::SendToControl(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendToWindow(Control(dialog, id), message, wParam, lParam);
}

HWND Ui::UsableControl(HWND dialog, int id)
{
    HWND control = Control(dialog, id);
    WaitUntil(Describe(control) + " to be enabled and visible",
              [control] { return IsWindowEnabled(control) && IsWindowVisible(control); });
    return control;
}

std::string Ui::Text(HWND window)
{
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0, "WM_GETTEXTLENGTH");
    const size_t capacity = static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1;
    auto buffer = std::make_unique<wchar_t[]>(capacity);
    const LRESULT copied = Send(window, WM_GETTEXT, capacity,
                                reinterpret_cast<LPARAM>(buffer.get()), "WM_GETTEXT", &buffer);
    const size_t used = std::min(static_cast<size_t>(std::max<LRESULT>(copied, 0)), capacity - 1);
    return Narrow(buffer.get(), static_cast<int>(used));
}

std::string Ui::Text(HWND dialog, int id)
{
    return Text(Control(dialog, id));
}

std::string Ui::Caption(HWND window) const
{
    if (!IsWindow(window))
        Fail("no caption: " + Describe(window));
    return StoredText(window);
}

void Ui::SetText(HWND dialog, int id, const std::string& text)
{
    HWND control = UsableControl(dialog, id);
    auto wide = Widen(text);
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.get()), "WM_SETTEXT", &wide);
}

void Ui::WaitForText(HWND dialog, int id, const std::string& text)
{
    HWND control = Control(dialog, id);
    std::string last;
    try {
        WaitUntil(Describe(control) + " to read " + Quoted(text), [&] {
            last = Text(control);
            return last == text;
        });
    } catch (const UiFailure& failure) {
        Fail(std::string(failure.what()) + "; it reads " + Quoted(last));
    }
}

bool Ui::IsEnabled(HWND dialog, int id) const
{
    return IsWindowEnabled(Control(dialog, id)) != FALSE;
}

bool Ui::IsVisible(HWND dialog, int id) const
{
    return IsWindowVisible(Control(dialog, id)) != FALSE;
}

bool Ui::IsChecked(HWND dialog, int id)
{
    return Send(Control(dialog, id), BM_GETCHECK, 0, 0, "BM_GETCHECK") == BST_CHECKED;
}

void Ui::Click(HWND dialog, int id)
{
    Notify(UsableControl(dialog, id), BM_CLICK, 0, 0, "BM_CLICK");
}

void Ui::ClickAndWaitUntilGone(HWND dialog, int id)
{
    Click(dialog, id);
    WaitUntilGone(dialog);
}

void Ui::SetChecked(HWND dialog, int id, bool checked)
{
    HWND control = Control(dialog, id);
    if (IsChecked(dialog, id) == checked)
        return;
    if (!checked && IsRadioButton(control))
        Fail(Describe(control) + " is a radio button: a user unchecks it by checking another");
    Click(dialog, id);
    WaitUntil(Describe(control) + (checked ? " to be checked" : " to be unchecked"),
              [&] { return IsChecked(dialog, id) == checked; });
}

void Ui::SendCommand(HWND dialog, int id)
{
    HWND control = IsWindow(dialog) ? GetDlgItem(dialog, id) : nullptr;
    Notify(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control),
           "WM_COMMAND");
}

void Ui::PressKey(HWND window, UINT virtualKey)
{
    if (!IsWindow(window))
        Fail("cannot press a key: " + Describe(window));
    HWND target = window;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
        info.hwndFocus != nullptr && (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM down = 1 | scanCode;
    const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    if (!PostMessageW(target, WM_KEYDOWN, virtualKey, down))
        Fail("could not post key " + std::to_string(virtualKey) + " to " + Describe(target));
    // The key may already have closed the window: then nobody wants its release.
    PostMessageW(target, WM_KEYUP, virtualKey, up);
}

int Ui::ListCount(HWND dialog, int id)
{
    HWND list = Control(dialog, id);
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0, "LB_GETCOUNT");
    if (count < 0)
        Fail(Describe(list) + " gave no item count");
    return static_cast<int>(count);
}

std::vector<std::string> Ui::Items(HWND control, UINT countMessage, UINT lengthMessage,
                                   UINT textMessage)
{
    const LRESULT count = Send(control, countMessage, 0, 0, "item count");
    if (count < 0)
        Fail(Describe(control) + " gave no item count");
    std::vector<std::string> items;
    for (LRESULT index = 0; index < count; ++index) {
        const LRESULT length = Send(control, lengthMessage, index, 0, "item text length");
        if (length < 0)
            Fail(Describe(control) + " has no item " + std::to_string(index));
        const size_t capacity = static_cast<size_t>(length) + 1;
        auto buffer = std::make_unique<wchar_t[]>(capacity);
        const LRESULT copied = Send(control, textMessage, index,
                                    reinterpret_cast<LPARAM>(buffer.get()), "item text", &buffer);
        if (copied < 0)
            Fail(Describe(control) + " gave no text for item " + std::to_string(index));
        const size_t used = std::min(static_cast<size_t>(copied), capacity - 1);
        items.push_back(Narrow(buffer.get(), static_cast<int>(used)));
    }
    return items;
}

int Ui::IndexOf(HWND control, const std::vector<std::string>& items, const std::string& text) const
{
    const auto found = std::find(items.begin(), items.end(), text);
    if (found == items.end()) {
        std::string listed;
        for (const std::string& item : items)
            listed += (listed.empty() ? "" : ", ") + Quoted(item);
        Fail("no item " + Quoted(text) + " in " + Describe(control) +
             "; its items: " + (listed.empty() ? "none" : listed));
    }
    return static_cast<int>(found - items.begin());
}

std::vector<std::string> Ui::ListItems(HWND dialog, int id)
{
    return Items(Control(dialog, id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int Ui::ListSelection(HWND dialog, int id)
{
    return static_cast<int>(Send(Control(dialog, id), LB_GETCURSEL, 0, 0, "LB_GETCURSEL"));
}

void Ui::ChooseListItem(HWND dialog, int id, int index, bool doubleClick)
{
    HWND list = UsableControl(dialog, id);
    const int count = ListCount(dialog, id);
    if (index < 0 || index >= count)
        Fail("no item " + std::to_string(index) + " in " + Describe(list) + ", which has " +
             std::to_string(count));
    if (Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0, "LB_SETCURSEL") == LB_ERR)
        Fail(Describe(list) + " refused to select item " + std::to_string(index));
    if ((Style(list) & LBS_NOTIFY) == 0)
        return;
    HWND parent = GetParent(list);
    const int listId = GetDlgCtrlID(list);
    Notify(parent, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list),
           "LBN_SELCHANGE");
    if (doubleClick)
        Notify(parent, WM_COMMAND, MAKEWPARAM(listId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list),
               "LBN_DBLCLK");
}

void Ui::SelectListItem(HWND dialog, int id, int index)
{
    ChooseListItem(dialog, id, index, false);
}

void Ui::SelectListItem(HWND dialog, int id, const std::string& text)
{
    ChooseListItem(dialog, id, IndexOf(Control(dialog, id), ListItems(dialog, id), text), false);
}

void Ui::DoubleClickListItem(HWND dialog, int id, const std::string& text)
{
    ChooseListItem(dialog, id, IndexOf(Control(dialog, id), ListItems(dialog, id), text), true);
}

std::vector<std::string> Ui::ComboItems(HWND dialog, int id)
{
    return Items(Control(dialog, id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int Ui::ComboSelection(HWND dialog, int id)
{
    return static_cast<int>(Send(Control(dialog, id), CB_GETCURSEL, 0, 0, "CB_GETCURSEL"));
}

void Ui::SelectComboItem(HWND dialog, int id, int index)
{
    HWND combo = UsableControl(dialog, id);
    const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0, "CB_GETCOUNT");
    if (index < 0 || index >= count)
        Fail("no item " + std::to_string(index) + " in " + Describe(combo) + ", which has " +
             std::to_string(count));
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, "CB_SETCURSEL") == CB_ERR)
        Fail(Describe(combo) + " refused to select item " + std::to_string(index));
    Notify(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
           reinterpret_cast<LPARAM>(combo), "CBN_SELCHANGE");
}

void Ui::SelectComboItem(HWND dialog, int id, const std::string& text)
{
    SelectComboItem(dialog, id, IndexOf(Control(dialog, id), ComboItems(dialog, id), text));
}

std::string Ui::Describe(HWND window) const
{
    if (window == nullptr)
        return "no window";
    if (!IsWindow(window)) {
        const auto known = seen_.find(window);
        return known == seen_.end() ? "a window that has closed" : known->second + ", now closed";
    }
    std::string description;
    if (Style(window) & WS_CHILD) {
        const std::string kind = BaseClass(window);
        description = "control " + std::to_string(GetDlgCtrlID(window)) + " (" + kind;
        // Only these keep their text as the window's own; an edit's would
        // need a message.
        if (EqualsNoCase(kind, "Button") || EqualsNoCase(kind, "Static"))
            description += " " + Quoted(StoredText(window));
        description += ") of " + Describe(GetParent(window));
    } else {
        description =
            (IsMessageBox(window) ? "message box " : "window ") + Quoted(StoredText(window));
    }
    seen_[window] = description;
    return description;
}

std::string Ui::DescribeWindows() const
{
    std::string described;
    for (HWND window : Windows())
        described += (described.empty() ? "" : ", ") + Describe(window);
    return described.empty() ? "no window of the process is open" : "open: " + described;
}

LRESULT Ui::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what,
                 std::unique_ptr<wchar_t[]>* keepAlive)
{
    if (!IsWindow(window))
        Fail(std::string("cannot send ") + what + ": " + Describe(window));
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeout_, &result) == 0) {
        if (keepAlive != nullptr)
            keepAlive->release();  // deliberately leaked: see the declaration
        Fail(Describe(window) + " did not answer " + what + " within " + std::to_string(timeout_) +
             " ms");
    }
    return static_cast<LRESULT>(result);
}

void Ui::Notify(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    if (!IsWindow(window) || !SendNotifyMessageW(window, message, wParam, lParam))
        Fail(std::string("cannot send ") + what + " to " + Describe(window));
}

UiScript::UiScript(DWORD timeout) : timeout_(timeout) {}

UiScript& UiScript::Then(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

UiScript& UiScript::FinishWithin(DWORD milliseconds)
{
    finishTimeout_ = milliseconds;
    return *this;
}

bool UiScript::RunWith(const std::function<void()>& body)
{
    failures_.clear();
    std::atomic<bool> returned{false};
    const std::function<bool()> done = [&returned] { return returned.load(); };
    std::thread driver([this, &done] {
        Ui ui(GetCurrentProcessId(), timeout_);
        ui.SetEndedCheck(done);
        RunSteps(ui, done, true);
    });
    try {
        body();
    } catch (...) {
        returned = true;
        driver.join();
        throw;
    }
    returned = true;
    driver.join();
    return Report();
}

bool UiScript::Drive(DWORD processId)
{
    failures_.clear();
    Ui ui(processId, timeout_);
    RunSteps(
        ui, [&ui] { return ui.Windows().empty(); }, false);
    return Report();
}

void UiScript::RunSteps(Ui& ui, const std::function<bool()>& done, bool awaitDone)
{
    std::string where;
    try {
        for (size_t index = 0; index < steps_.size(); ++index) {
            where = "UI step " + std::to_string(index + 1) + " of " + std::to_string(steps_.size());
            steps_[index](ui);
        }
        if (awaitDone) {
            where = "after the last UI step";
            ui.SetTimeout(finishTimeout_);
            ui.WaitUntil("the dialog code to return", done);
        }
        return;
    } catch (const UiFailure& failure) {
        failures_.push_back(where + ": " + failure.what());
    } catch (const std::exception& exception) {
        failures_.push_back(where + ": exception: " + exception.what());
    } catch (...) {
        failures_.push_back(where + ": an unknown exception");
    }
    CloseWindows(ui, done);
}

void UiScript::CloseWindows(Ui& ui, const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    for (int round = 0; !done(); ++round) {
        if (GetTickCount() - start >= kCloseDeadline) {
            failures_.push_back("could not close the windows left open; " + ui.DescribeWindows());
            return;
        }
        for (HWND window : ui.Windows()) {
            // A window disabled by its modal child closes after the child.
            if (!IsWindowEnabled(window))
                continue;
            if (ui.IsMessageBox(window)) {
                for (int button : kEscapeButtons) {
                    if (HWND control = GetDlgItem(window, button)) {
                        SendNotifyMessageW(control, BM_CLICK, 0, 0);
                        break;
                    }
                }
            } else if (round % 2 == 0) {
                SendNotifyMessageW(window, WM_COMMAND, IDCANCEL, 0);
            } else {
                SendNotifyMessageW(window, WM_CLOSE, 0, 0);
            }
        }
        Sleep(kCloseInterval);
    }
}

bool UiScript::Report() const
{
    for (const std::string& failure : failures_)
        ADD_FAILURE() << failure;
    return failures_.empty();
}

}  // namespace ui
}  // namespace flipset
