// The UI driver against dialogs of its own: in-process while the test's
// thread runs them modally, and from another process (this program started
// again with kShowDialogArgument, which only shows the test dialog).

#include "wine/ui/UiDriver.h"
#include "wine/ui/UiDriverTestIds.h"

#include "engine/Win32WaitWithMessages.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace flipset {
namespace ui {
namespace {

const char kShowDialogArgument[] = "--show-ui-driver-dialog";
const char kTestCaption[] = "UI driver test";
const char kBusyCaption[] = "Busy test";
constexpr DWORD kShortTimeout = 500;     // ms, for the waits meant to fail
constexpr DWORD kBusyLimit = 60000;      // ms the busy dialog waits for the driver at most
constexpr DWORD kChildDeadline = 60000;  // ms for the second process to end

// What the test dialog read from its controls when OK was pressed.
struct DialogOutcome {
    std::string edit;
    bool checked = false;
};
DialogOutcome g_outcome;

std::string ItemText(HWND dialog, int id, UINT lengthMessage, UINT textMessage, LRESULT index)
{
    HWND control = GetDlgItem(dialog, id);
    const LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(control, textMessage, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

void ShowEvent(HWND dialog, const std::string& event)
{
    SetDlgItemTextA(dialog, IDC_DRIVER_EVENT, event.c_str());
}

void FillTestDialog(HWND dialog)
{
    for (const char* item : {"alpha", "Beta", "gamma"})
        SendDlgItemMessageA(dialog, IDC_DRIVER_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item));
    for (const char* item : {"one", "two"})
        SendDlgItemMessageA(dialog, IDC_DRIVER_PLAIN_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item));
    for (const char* item : {"red", "green", "blue"})
        SendDlgItemMessageA(dialog, IDC_DRIVER_COMBO, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item));
    CheckRadioButton(dialog, IDC_DRIVER_FIRST, IDC_DRIVER_SECOND, IDC_DRIVER_FIRST);
}

// Writes into the event line what each control told the dialog, so a test
// sees which notifications arrived.
void OnTestCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_DRIVER_CHECK:
        ShowEvent(dialog, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? "checked" : "unchecked");
        break;
    case IDC_DRIVER_FIRST:
    case IDC_DRIVER_SECOND:
        ShowEvent(dialog, id == IDC_DRIVER_FIRST ? "first" : "second");
        break;
    case IDC_DRIVER_LIST: {
        const LRESULT selection = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
        const std::string item = ItemText(dialog, id, LB_GETTEXTLEN, LB_GETTEXT, selection);
        if (notification == LBN_SELCHANGE)
            ShowEvent(dialog, "selected " + item);
        else if (notification == LBN_DBLCLK)
            ShowEvent(dialog, "double-clicked " + item);
        break;
    }
    case IDC_DRIVER_PLAIN_LIST:
        ShowEvent(dialog, "plain list notified");
        break;
    case IDC_DRIVER_COMBO:
        if (notification == CBN_SELCHANGE) {
            const LRESULT selection = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
            ShowEvent(dialog,
                      "combo " + ItemText(dialog, id, CB_GETLBTEXTLEN, CB_GETLBTEXT, selection));
        }
        break;
    case IDC_DRIVER_STOP_BOX:
        MessageBoxA(dialog, "Something failed.", "Driver test", MB_OK | MB_ICONSTOP);
        ShowEvent(dialog, "stop box closed");
        break;
    case IDC_DRIVER_QUESTION: {
        const int answer =
            MessageBoxA(dialog, "Go on?", "Driver question", MB_YESNO | MB_ICONQUESTION);
        ShowEvent(dialog, answer == IDYES ? "answered yes" : "answered no");
        break;
    }
    case IDOK: {
        char text[256] = "";
        GetDlgItemTextA(dialog, IDC_DRIVER_EDIT, text, sizeof text);
        g_outcome.edit = text;
        g_outcome.checked = IsDlgButtonChecked(dialog, IDC_DRIVER_CHECK) == BST_CHECKED;
        EndDialog(dialog, IDOK);
        break;
    }
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FillTestDialog(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        OnTestCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

bool g_busy = false;

// Waits, handling only the dialog's own messages as the program's waits do,
// until the check box has the state or the limit has passed.
bool WaitForGoOn(HWND dialog, bool checked)
{
    const DWORD start = GetTickCount();
    while ((IsDlgButtonChecked(dialog, IDC_BUSY_GO_ON) == BST_CHECKED) != checked) {
        if (GetTickCount() - start >= kBusyLimit)
            return false;
        WaitWithMessages(dialog, 50);
    }
    return true;
}

// Start: wait until "Go on" is checked, ask, wait until it is unchecked, and
// end with the answer (0 when the driver never came). Cancel is refused
// meanwhile, as the program refuses it during a run.
void RunBusyStart(HWND dialog)
{
    g_busy = true;
    SetDlgItemTextA(dialog, IDC_BUSY_STATUS, "waiting for go on");
    int answer = 0;
    if (WaitForGoOn(dialog, true)) {
        answer = MessageBoxA(dialog, "Checked while waiting.", kBusyCaption,
                             MB_OKCANCEL | MB_ICONEXCLAMATION);
        SetDlgItemTextA(dialog, IDC_BUSY_STATUS, "waiting for stop");
        if (!WaitForGoOn(dialog, false))
            answer = 0;
    }
    g_busy = false;
    EndDialog(dialog, answer);
}

INT_PTR CALLBACK BusyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDC_BUSY_START)
        RunBusyStart(dialog);
    else if (LOWORD(wParam) == IDCANCEL && g_busy)
        SetDlgItemTextA(dialog, IDC_BUSY_STATUS, "cancel refused while busy");
    else if (LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR RunDialog(int templateId, DLGPROC procedure)
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                           procedure, 0);
}

// The failures a run reported to GoogleTest, kept from the test's own
// result.
class ReportedFailures {
public:
    ReportedFailures()
        : reporter_(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                    &results_)
    {
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> messages;
        for (int index = 0; index < results_.size(); ++index)
            messages.push_back(results_.GetTestPartResult(index).message());
        return messages;
    }

private:
    ::testing::TestPartResultArray results_;
    ::testing::ScopedFakeTestPartResultReporter reporter_;
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class UiDriverInProcess : public ::testing::Test {
protected:
    void SetUp() override { g_outcome = DialogOutcome(); }

    // Runs the test dialog modally on this thread while the script drives
    // it; the dialog's result.
    INT_PTR RunTestDialog(UiScript& script, bool* passed = nullptr)
    {
        INT_PTR result = -1;
        const bool ok =
            script.RunWith([&] { result = RunDialog(IDD_DRIVER_TEST, TestDialogProc); });
        if (passed != nullptr)
            *passed = ok;
        return result;
    }
};

TEST_F(UiDriverInProcess, TextsAndChecksReachTheDialogAsTypedAndClicked)
{
    std::string caption, edit;
    bool firstChecked = true, disabledEnabled = true, disabledVisible = false;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kTestCaption, "#32770");
        caption = ui.Text(dialog);
        ui.SetText(dialog, IDC_DRIVER_EDIT, "Hello, driver");
        edit = ui.Text(dialog, IDC_DRIVER_EDIT);
        ui.SetChecked(dialog, IDC_DRIVER_CHECK, true);
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "checked");
        ui.SetChecked(dialog, IDC_DRIVER_SECOND, true);
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "second");
        firstChecked = ui.IsChecked(dialog, IDC_DRIVER_FIRST);
        disabledEnabled = ui.IsEnabled(dialog, IDC_DRIVER_DISABLED);
        disabledVisible = ui.IsVisible(dialog, IDC_DRIVER_DISABLED);
        ui.ClickAndWaitUntilGone(dialog, IDOK);
    });
    EXPECT_EQ(RunTestDialog(script), IDOK);
    EXPECT_EQ(caption, kTestCaption);
    EXPECT_EQ(edit, "Hello, driver");
    EXPECT_FALSE(firstChecked);
    EXPECT_FALSE(disabledEnabled);
    EXPECT_TRUE(disabledVisible);
    EXPECT_EQ(g_outcome.edit, "Hello, driver");
    EXPECT_TRUE(g_outcome.checked);
}

TEST_F(UiDriverInProcess, ListAndComboChoicesNotifyTheDialogAsAUserChoiceDoes)
{
    std::vector<std::string> listItems, comboItems;
    int count = 0, noSelection = 0, selection = -1, plainSelection = -1, comboSelection = -1;
    std::string eventAfterPlainList;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kTestCaption);
        listItems = ui.ListItems(dialog, IDC_DRIVER_LIST);
        count = ui.ListCount(dialog, IDC_DRIVER_LIST);
        noSelection = ui.ListSelection(dialog, IDC_DRIVER_LIST);
        ui.SelectListItem(dialog, IDC_DRIVER_LIST, "Beta");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "selected Beta");
        selection = ui.ListSelection(dialog, IDC_DRIVER_LIST);
        ui.DoubleClickListItem(dialog, IDC_DRIVER_LIST, "gamma");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "double-clicked gamma");
        // Without LBS_NOTIFY a click tells the dialog nothing.
        ui.SelectListItem(dialog, IDC_DRIVER_PLAIN_LIST, 1);
        plainSelection = ui.ListSelection(dialog, IDC_DRIVER_PLAIN_LIST);
        eventAfterPlainList = ui.Text(dialog, IDC_DRIVER_EVENT);
        comboItems = ui.ComboItems(dialog, IDC_DRIVER_COMBO);
        ui.SelectComboItem(dialog, IDC_DRIVER_COMBO, "blue");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "combo blue");
        comboSelection = ui.ComboSelection(dialog, IDC_DRIVER_COMBO);
        ui.Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunTestDialog(script), IDCANCEL);
    EXPECT_EQ(listItems, (std::vector<std::string>{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(noSelection, -1);
    EXPECT_EQ(selection, 1);
    EXPECT_EQ(plainSelection, 1);
    EXPECT_EQ(eventAfterPlainList, "double-clicked gamma");
    EXPECT_EQ(comboItems, (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(comboSelection, 2);
}

TEST_F(UiDriverInProcess, MessageBoxesOfTheDialogAreReadAndAnswered)
{
    MessageBoxInfo stop, firstQuestion;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kTestCaption);
        ui.Click(dialog, IDC_DRIVER_STOP_BOX);
        stop = ui.AnswerMessageBox(IDOK);
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "stop box closed");
        ui.Click(dialog, IDC_DRIVER_QUESTION);
        firstQuestion = ui.AnswerMessageBox(IDNO, "Driver question");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "answered no");
        ui.Click(dialog, IDC_DRIVER_QUESTION);
        ui.AnswerMessageBox(IDYES, "Driver question");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "answered yes");
        ui.Click(dialog, IDOK);
    });
    EXPECT_EQ(RunTestDialog(script), IDOK);
    EXPECT_EQ(stop.caption, "Driver test");
    EXPECT_EQ(stop.text, "Something failed.");
    EXPECT_STREQ(IconName(stop.icon), "stop");
    EXPECT_EQ(firstQuestion.text, "Go on?");
    EXPECT_STREQ(IconName(firstQuestion.icon), "question");
}

TEST_F(UiDriverInProcess, EachMessageBoxIconIsRecognised)
{
    const struct {
        UINT style;
        int button;
        MessageBoxIcon icon;
    } cases[] = {
        {MB_OK | MB_ICONSTOP, IDOK, MessageBoxIcon::Stop},
        {MB_YESNO | MB_ICONQUESTION, IDYES, MessageBoxIcon::Question},
        {MB_OKCANCEL | MB_ICONEXCLAMATION, IDCANCEL, MessageBoxIcon::Exclamation},
        {MB_OK | MB_ICONINFORMATION, IDOK, MessageBoxIcon::Information},
        {MB_OK, IDOK, MessageBoxIcon::None},
    };
    for (const auto& kind : cases) {
        SCOPED_TRACE(IconName(kind.icon));
        MessageBoxInfo box;
        int answer = 0;
        UiScript script;
        script.Then([&](Ui& ui) { box = ui.AnswerMessageBox(kind.button, "Icon test"); });
        EXPECT_TRUE(script.RunWith(
            [&] { answer = MessageBoxA(nullptr, "Which icon?", "Icon test", kind.style); }));
        EXPECT_EQ(answer, kind.button);
        EXPECT_EQ(box.text, "Which icon?");
        EXPECT_STREQ(IconName(box.icon), IconName(kind.icon));
    }
}

TEST_F(UiDriverInProcess, KeysAndCommandsEndTheDialogAsTheDialogManagerDoes)
{
    const struct {
        const char* name;
        std::function<void(Ui&, HWND)> action;
        INT_PTR result;
    } cases[] = {
        {"Enter presses the default button",
         [](Ui& ui, HWND dialog) { ui.PressKey(dialog, VK_RETURN); }, IDOK},
        {"Escape cancels", [](Ui& ui, HWND dialog) { ui.PressKey(dialog, VK_ESCAPE); }, IDCANCEL},
        {"the IDCANCEL command cancels",
         [](Ui& ui, HWND dialog) { ui.SendCommand(dialog, IDCANCEL); }, IDCANCEL},
    };
    for (const auto& ending : cases) {
        SCOPED_TRACE(ending.name);
        UiScript script;
        script.Then([&](Ui& ui) {
            HWND dialog = ui.WaitForWindow(kTestCaption);
            ending.action(ui, dialog);
            ui.WaitUntilGone(dialog);
        });
        EXPECT_EQ(RunTestDialog(script), ending.result);
    }
}

// The program's runs wait in a loop that handles only its window's
// messages and show message boxes in between: clicks, queries, answers and
// keys must all get through.
TEST_F(UiDriverInProcess, DrivesADialogThroughAWaitThatHandlesOnlyItsOwnMessages)
{
    MessageBoxInfo box;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kBusyCaption);
        ui.Click(dialog, IDC_BUSY_START);
        ui.WaitForText(dialog, IDC_BUSY_STATUS, "waiting for go on");
        ui.SetChecked(dialog, IDC_BUSY_GO_ON, true);
        box = ui.AnswerMessageBox(IDOK, kBusyCaption);
        ui.WaitForText(dialog, IDC_BUSY_STATUS, "waiting for stop");
        ui.PressKey(dialog, VK_ESCAPE);
        ui.WaitForText(dialog, IDC_BUSY_STATUS, "cancel refused while busy");
        ui.SetChecked(dialog, IDC_BUSY_GO_ON, false);
        ui.WaitUntilGone(dialog);
    });
    INT_PTR result = -1;
    EXPECT_TRUE(script.RunWith([&] { result = RunDialog(IDD_DRIVER_BUSY, BusyDialogProc); }));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(box.text, "Checked while waiting.");
    EXPECT_STREQ(IconName(box.icon), "exclamation");
}

// A step that fails is reported once, with what and where, and the dialog
// (and any message box over it) is closed so the test goes on.
TEST_F(UiDriverInProcess, AFailingStepIsReportedAndClosesTheDialog)
{
    const struct {
        const char* name;
        std::function<void(Ui&, HWND)> step;
        std::vector<std::string> expected;
    } cases[] = {
        {"a window that never appears",
         [](Ui& ui, HWND) {
             ui.SetTimeout(kShortTimeout);
             ui.WaitForWindow("Never appears");
         },
         {"UI step 1 of 1", "window \"Never appears\"", "open: window \"UI driver test\""}},
        {"a missing control",
         [](Ui& ui, HWND dialog) { ui.Text(dialog, 999); },
         {"no control 999 in window \"UI driver test\""}},
        {"a disabled button",
         [](Ui& ui, HWND dialog) {
             ui.SetTimeout(kShortTimeout);
             ui.Click(dialog, IDC_DRIVER_DISABLED);
         },
         {"control 908 (Button \"Disabled\") of window \"UI driver test\" to be enabled"}},
        {"a missing list item",
         [](Ui& ui, HWND dialog) { ui.SelectListItem(dialog, IDC_DRIVER_LIST, "delta"); },
         {"no item \"delta\"", "\"alpha\", \"Beta\", \"gamma\""}},
        {"unchecking a radio button",
         [](Ui& ui, HWND dialog) { ui.SetChecked(dialog, IDC_DRIVER_FIRST, false); },
         {"control 909", "radio button"}},
        {"a yes/no box left open",
         [](Ui& ui, HWND dialog) {
             ui.Click(dialog, IDC_DRIVER_QUESTION);
             ui.WaitForMessageBox("Driver question");
             ui.SetTimeout(kShortTimeout);
             ui.WaitForWindow("Never appears");
         },
         {"window \"Never appears\"", "message box \"Driver question\""}},
        {"steps that leave the dialog open",
         [](Ui&, HWND) {},
         {"after the last UI step", "the dialog code to return"}},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.name);
        UiScript script;
        script.FinishWithin(kShortTimeout);
        script.Then([&](Ui& ui) { failure.step(ui, ui.WaitForWindow(kTestCaption)); });
        bool passed = true;
        INT_PTR result = 0;
        std::vector<std::string> reported;
        {
            ReportedFailures failures;
            result = RunTestDialog(script, &passed);
            reported = failures.Messages();
        }
        EXPECT_FALSE(passed);
        EXPECT_EQ(result, IDCANCEL);
        ASSERT_EQ(reported.size(), 1u);
        for (const std::string& part : failure.expected)
            EXPECT_TRUE(Contains(reported[0], part)) << reported[0] << "\nlacks: " << part;
    }
}

// This program again, showing only the test dialog; ended when the test is
// done with it.
class SecondInstance {
public:
    SecondInstance()
    {
        char path[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string command = "\"" + std::string(path, length) + "\" " + kShowDialogArgument;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &process_) != FALSE;
    }
    ~SecondInstance()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    SecondInstance(const SecondInstance&) = delete;
    SecondInstance& operator=(const SecondInstance&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended in time.
    DWORD WaitForExit() const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.hProcess, kChildDeadline) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

TEST(UiDriverCrossProcess, DrivesTheDialogOfAnotherProcess)
{
    SecondInstance other;
    ASSERT_TRUE(other.Started());
    std::string caption, edit;
    std::vector<std::string> listItems, comboItems;
    MessageBoxInfo stop;
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kTestCaption, "#32770");
        caption = ui.Caption(dialog);
        ui.SetText(dialog, IDC_DRIVER_EDIT, "typed from afar");
        edit = ui.Text(dialog, IDC_DRIVER_EDIT);
        listItems = ui.ListItems(dialog, IDC_DRIVER_LIST);
        ui.SelectListItem(dialog, IDC_DRIVER_LIST, "gamma");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "selected gamma");
        comboItems = ui.ComboItems(dialog, IDC_DRIVER_COMBO);
        ui.SelectComboItem(dialog, IDC_DRIVER_COMBO, 1);
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "combo green");
        ui.SetChecked(dialog, IDC_DRIVER_CHECK, true);
        ui.Click(dialog, IDC_DRIVER_STOP_BOX);
        stop = ui.AnswerMessageBox(IDOK, "Driver test");
        ui.WaitForText(dialog, IDC_DRIVER_EVENT, "stop box closed");
        ui.PressKey(dialog, VK_ESCAPE);
        ui.WaitUntilGone(dialog);
    });
    EXPECT_TRUE(script.Drive(other.Id()));
    EXPECT_EQ(other.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    EXPECT_EQ(caption, kTestCaption);
    EXPECT_EQ(edit, "typed from afar");
    EXPECT_EQ(listItems, (std::vector<std::string>{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(comboItems, (std::vector<std::string>{"red", "green", "blue"}));
    EXPECT_EQ(stop.text, "Something failed.");
    // The kind stays unknown from another process under Wine; an icon there is.
    EXPECT_STRNE(IconName(stop.icon), "none");
}

TEST(UiDriverCrossProcess, AFailingStepClosesTheOtherProcessesWindows)
{
    SecondInstance other;
    ASSERT_TRUE(other.Started());
    UiScript script;
    script.Then([&](Ui& ui) {
        HWND dialog = ui.WaitForWindow(kTestCaption);
        ui.Click(dialog, IDC_DRIVER_QUESTION);
        ui.WaitForMessageBox("Driver question");
        ui.SetTimeout(kShortTimeout);
        ui.Text(dialog, 999);
    });
    bool passed = true;
    std::vector<std::string> reported;
    {
        ReportedFailures failures;
        passed = script.Drive(other.Id());
        reported = failures.Messages();
    }
    EXPECT_FALSE(passed);
    EXPECT_EQ(other.WaitForExit(), static_cast<DWORD>(IDCANCEL));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_TRUE(Contains(reported[0], "no control 999 in window \"UI driver test\""))
        << reported[0];
}

}  // namespace
}  // namespace ui
}  // namespace flipset

// This program's own main: started with kShowDialogArgument it only shows
// the test dialog, for the cross-process tests, and ends with its result.
// (Defining main here keeps the linker from taking gtest_main's.)
int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == flipset::ui::kShowDialogArgument)
        return static_cast<int>(
            flipset::ui::RunDialog(IDD_DRIVER_TEST, flipset::ui::TestDialogProc));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
