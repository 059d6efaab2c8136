// The program's resources as the windows and the start-up rely on them: every
// control of the main window with its id, kind and text, the splash picture,
// and a manifest that leaves the reported system version alone.

#include "ui/LoadText.h"
#include "resource.h"
#include "wine/TestConstants.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A dialog created from one of the program's templates, destroyed at the end.
class TemplateDialog {
public:
    explicit TemplateDialog(int id)
        : window_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     PlainDialogProc, 0))
    {
    }
    ~TemplateDialog()
    {
        if (window_)
            DestroyWindow(window_);
    }
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST(ResourcesWine, MainWindowHasEveryControlWithItsKindAndText)
{
    struct Control {
        int id;
        const char* className;
        LONG buttonType;
        const char* text;
    };
    const Control controls[] = {
        {IDC_MAIN_CONFIGURATIONS, "ListBox", -1, ""},
        {IDC_MAIN_ADD, "Button", BS_PUSHBUTTON, "Add"},
        {IDC_MAIN_DELETE, "Button", BS_PUSHBUTTON, "Delete"},
        {IDC_MAIN_EDIT, "Button", BS_PUSHBUTTON, "Edit"},
        {IDC_MAIN_RUN, "Button", BS_DEFPUSHBUTTON, "Run"},
        {IDC_MAIN_FILES, "Button", BS_AUTOCHECKBOX, "Files"},
        {IDC_MAIN_NETWORK, "Button", BS_AUTOCHECKBOX, "Network"},
        {IDC_MAIN_DESKTOP, "Button", BS_AUTOCHECKBOX, "Desktop"},
        {IDC_MAIN_PROGRAMS, "Button", BS_AUTOCHECKBOX, "Start externals"},
        {IDC_MAIN_SERVICES, "Button", BS_AUTOCHECKBOX, "Services"},
        {IDC_MAIN_PROXY, "Button", BS_AUTOCHECKBOX, "Proxy"},
        {IDC_MAIN_STARTUP_NOTHING, "Button", BS_AUTORADIOBUTTON, "Do Nothing"},
        {IDC_MAIN_STARTUP_ENABLE, "Button", BS_AUTORADIOBUTTON, "Enable All"},
        {IDC_MAIN_STARTUP_DISABLE, "Button", BS_AUTORADIOBUTTON, "Disable All (recomended)"},
        {IDC_MAIN_ENABLE_ALL_NOW, "Button", BS_PUSHBUTTON, "Enable all now"},
        {IDC_MAIN_DISABLE_ALL_NOW, "Button", BS_PUSHBUTTON, "Disable all now"},
        {IDC_MAIN_STARTUP_GROUP, "Button", BS_GROUPBOX, "Network at startup "},
        {IDC_MAIN_CLOSE, "Button", BS_PUSHBUTTON, "Close"},
    };
    TemplateDialog dialog(IDD_MAIN);
    ASSERT_NE(dialog.get(), nullptr) << GetLastError();
    EXPECT_EQ(WindowText(dialog.get()), flipset::kTitle);
    EXPECT_TRUE(GetWindowLongA(dialog.get(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    for (const Control& control : controls) {
        const HWND window = GetDlgItem(dialog.get(), control.id);
        ASSERT_NE(window, nullptr) << control.id;
        EXPECT_EQ(lstrcmpiA(ClassName(window).c_str(), control.className), 0) << control.id;
        EXPECT_EQ(WindowText(window), control.text) << control.id;
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        if (control.buttonType >= 0)
            EXPECT_EQ(style & BS_TYPEMASK, control.buttonType) << control.id;
        else
            EXPECT_EQ(style & (LBS_SORT | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT),
                      LBS_SORT | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT);
    }
}

TEST(ResourcesWine, StartupRadioButtonsFormOneGroup)
{
    TemplateDialog dialog(IDD_MAIN);
    ASSERT_NE(dialog.get(), nullptr) << GetLastError();
    const int radios[] = {IDC_MAIN_STARTUP_NOTHING, IDC_MAIN_STARTUP_ENABLE,
                          IDC_MAIN_STARTUP_DISABLE};
    for (int clicked : radios) {
        SendDlgItemMessageA(dialog.get(), clicked, BM_CLICK, 0, 0);
        for (int radio : radios)
            EXPECT_EQ(IsDlgButtonChecked(dialog.get(), radio) == BST_CHECKED, radio == clicked)
                << "clicked " << clicked << ", radio " << radio;
    }
}

TEST(ResourcesWine, SplashShowsThePictureOfFullSize)
{
    TemplateDialog dialog(IDD_SPLASH);
    ASSERT_NE(dialog.get(), nullptr) << GetLastError();
    const HWND picture = GetDlgItem(dialog.get(), IDC_SPLASH_PICTURE);
    ASSERT_NE(picture, nullptr);
    EXPECT_NE(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    const HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH),
                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    EXPECT_EQ(info.bmWidth, 416);
    EXPECT_EQ(info.bmHeight, 206);
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FLIPSET)), nullptr);
}

// The manifest's supported systems decide what GetVersionExA reports, and
// with it whether the network features are on: Windows 10 (which covers 11)
// is the one listed, so that it reports 10.0 rather than 6.2.
TEST(ResourcesWine, ManifestTurnsOnVisualStylesAndDeclaresWindows10)
{
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(data, nullptr);
    std::string manifest(data, SizeofResource(module, found));
    for (std::size_t start; (start = manifest.find("<!--")) != std::string::npos;)
        manifest.erase(start, manifest.find("-->", start) + 3 - start);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    const std::string windows10 =
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>";
    const std::size_t listed = manifest.find(windows10);
    EXPECT_NE(listed, std::string::npos);
    EXPECT_EQ(manifest.find("supportedOS"), manifest.rfind("supportedOS")) << "the only one";
    EXPECT_LT(manifest.find("<compatibility"), listed);
}

// The texts that no window test reads back, letter for letter, and a
// filled-in text whose argument looks like a placeholder.
TEST(ResourcesWine, TheStringTableHoldsTheTextsTheWindowsShow)
{
    struct Case {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {IDS_NO_TOOLTIPS, "No Tooltips"},
        {IDS_TIP_ADD, "Add a new configuration"},
        {IDS_TIP_DELETE, "Delete the selected configuration"},
        {IDS_TIP_EDIT, "Edit the selected configuration"},
        {IDS_TIP_RUN, "Execute the selected configuration and close Quillon Flipset."},
        {IDS_TIP_CLOSE, "Close Quillon Flipset without running a configuration."},
        {IDS_TIP_ENABLE_ALL_NOW, "Enable all Networkcards now."},
        {IDS_TIP_DISABLE_ALL_NOW, "Disable all Networkcards now."},
        {IDS_SELECT_WALLPAPER, "Select the WallPaper"},
        {IDS_BITMAP_FILES, "Bitmap files"},
        {IDS_EXECUTABLE_FILES, "Executable Files"},
        {IDS_ALL_FILES, "All Files"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(flipset::LoadText(c.id), c.text) << c.id;
    EXPECT_EQ(flipset::LoadText(65000), "") << "no such text";
    EXPECT_EQ(flipset::FormatText(IDS_TOO_LONG, {"The %3 text", "1024", "1023"}),
              "The %3 text is 1024 bytes long; it may be at most 1023 bytes.");
}

}  // namespace
