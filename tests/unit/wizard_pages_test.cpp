// The shortcut options page, the copy page's install sequence and the dialog templates.
#include "wizard_fixture.h"
#include <commctrl.h>
#include <string>
#include <vector>
#include "base/holders.h"
#include "base/registry.h"
#include "resources/resource.h"
#include "common/texts.h"
#include "common/keys.h"

class WizardShortcutPage : public WizardTest {};

TEST_F(WizardShortcutPage, BoxesFollowUpgradeThenBackResetsThem)
{
    session.isUpgrade = 0;
    HWND fresh = MakePage(IDD_SHORTCUTS, ShortcutPageProc);
    EXPECT_EQ(IsDlgButtonChecked(fresh, IDC_STARTMENU_BOX), (UINT)BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(fresh, IDC_DESKTOP_BOX), (UINT)BST_UNCHECKED);
    DestroyWindow(fresh);

    session.isUpgrade = 1;
    HWND page = MakePage(IDD_SHORTCUTS, ShortcutPageProc);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_STARTMENU_BOX), (UINT)BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_DESKTOP_BOX), (UINT)BST_UNCHECKED);
    EXPECT_EQ(Notify(page, PSN_SETACTIVE), 0);

    CheckDlgButton(page, IDC_DESKTOP_BOX, BST_CHECKED);
    EXPECT_EQ(Notify(page, PSN_WIZNEXT), 0);
    EXPECT_EQ(session.startMenuChecked, 0);
    EXPECT_EQ(session.desktopChecked, 1);

    EXPECT_EQ(Notify(page, PSN_WIZBACK), 0);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_STARTMENU_BOX), (UINT)BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_DESKTOP_BOX), (UINT)BST_UNCHECKED);
    EXPECT_EQ(session.desktopChecked, 1);  // stored only on Next
    EXPECT_EQ(Notify(page, PSN_WIZNEXT), 0);
    EXPECT_EQ(session.startMenuChecked, 1);
    EXPECT_EQ(session.desktopChecked, 0);
    DestroyWindow(page);
}

class WizardCopyPage : public WizardTest {
protected:
    std::string source, dest;
    void SetUp() override
    {
        WizardTest::SetUp();
        source = scratch + "src\\";
        dest = scratch + "dst\\Sample\\";
        WriteFile("src\\INSTALL.EXE", "installer");
        WriteFile("src\\a.txt", "alpha");
        WriteFile("src\\b.txt", "beta");
        WriteInf("src\\install.inf",
                 "[Install]\r\nOpen=a.txt\r\n1=a.txt\r\n2=b.txt,sub\\b.txt\r\n");
        lstrcpyA(session.installerName, "INSTALL.EXE");
        lstrcpyA(session.infName, "install.inf");
        lstrcpyA(session.folder, "WizardUnitCopyPage");
        lstrcpyA(session.destFolder, dest.c_str());
        session.entryCount = 2;
        SetCurrentDirectoryA(source.c_str());
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                      UNINSTALL_KEY "WizardUnitCopyPage");
        WizardTest::TearDown();
    }
    static int Done() { return session.installDone; }

    // Runs the whole sequence on page, which writes no uninstall entry: the files arrive
    // in folder all the same, and the end of the page says so instead of sending the user
    // to the control panel's list or to the start-menu item. The texts are read back last.
    void ExpectEndWithoutEntry(HWND page, const std::string& folder)
    {
        RunInstallStep();
        Pump(Done, 5000);
        ASSERT_EQ(session.installDone, 1);
        EXPECT_TRUE(shownMessages.empty());
        EXPECT_EQ(ReadFileBytes(folder + "a.txt"), "alpha");
        EXPECT_EQ(ReadFileBytes(folder + "sub\\b.txt"), "beta");
        EXPECT_EQ(ItemText(page, IDC_COPY_HINT), Text(T_NO_UNINSTALL_ENTRY));
        EXPECT_EQ(ItemText(page, IDC_COPY_STATUS), Text(T_INSTALL_SUCCEEDED));
    }
};

TEST_F(WizardCopyPage, SequenceRunsOneStepPerMessageAndCompletes)
{
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    ASSERT_TRUE(page);
    EXPECT_EQ(session.progressWindow, page);

    RunInstallStep();  // step 0: the folder and the range, step 1 posted
    EXPECT_EQ(session.copyStep, 1);
    EXPECT_TRUE(FolderExists(dest));
    EXPECT_FALSE(FileExists(dest + "INSTALL.EXE"));
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), 5);
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_PROGRESS, PBM_GETPOS, 0, 0), 1);

    Pump(Done, 5000);
    ASSERT_EQ(session.installDone, 1);
    EXPECT_EQ(session.copyStep, 6);  // steps 0 .. N+3
    EXPECT_EQ(ReadFileBytes(dest + "INSTALL.EXE"), "installer");
    EXPECT_TRUE(FileExists(dest + "install.inf"));
    EXPECT_EQ(ReadFileBytes(dest + "a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(dest + "sub\\b.txt"), "beta");
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_PROGRESS, PBM_GETPOS, 0, 0), 5);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(page, IDC_PROGRESS), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, IDC_COPY_HINT), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(ItemText(page, IDC_COPY_STATUS), Text(T_INSTALL_SUCCEEDED));
    EXPECT_EQ(ItemText(page, IDC_COPY_HINT), Text(T_ADD_REMOVE_HINT));
    RegKey key;
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE,
                       UNINSTALL_KEY "WizardUnitCopyPage",
                       KEY_READ),
              ERROR_SUCCESS);

    RunInstallStep();  // a stray step command after the end does nothing
    EXPECT_EQ(session.copyStep, 6);

    EXPECT_EQ(Notify(page, PSN_WIZFINISH), 0);
    EXPECT_EQ(session.openAfter, 1);
    EXPECT_STREQ(session.openTarget, "a.txt");
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(std::string(current) + "\\", dest);
    DestroyWindow(page);
}

TEST_F(WizardCopyPage, UninstallItemHintAndMissingOpenValue)
{
    WriteInf("src\\install.inf", "[Install]\r\n");
    session.entryCount = 0;
    session.hasUninstallItem = 1;
    lstrcpyA(session.uninstallHint, "Use <Remove> in the menu for the uninstallation.");
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    RunInstallStep();
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_PROGRESS, PBM_GETRANGE, FALSE, 0), 3);
    Pump(Done, 5000);
    ASSERT_EQ(session.installDone, 1);
    EXPECT_EQ(session.copyStep, 4);
    EXPECT_EQ(ItemText(page, IDC_COPY_HINT), "Use <Remove> in the menu for the uninstallation.");
    Notify(page, PSN_WIZFINISH);
    EXPECT_EQ(session.openAfter, 0);
    DestroyWindow(page);
}

TEST_F(WizardCopyPage, ActivationWaitsForTheTimerBeforeTheFirstStep)
{
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    Notify(page, PSN_SETACTIVE);
    EXPECT_EQ(session.copyStep, 0);
    EXPECT_FALSE(FolderExists(dest));
    Pump(Done, 5000);
    EXPECT_EQ(session.installDone, 1);
    EXPECT_TRUE(FileExists(dest + "a.txt"));
    DestroyWindow(page);
}

// A destination so long that the uninstall command does not fit: no entry is written.
TEST_F(WizardCopyPage, NoUninstallEntryIsShownAtTheEnd)
{
    std::string longDest = scratch + "dst\\";
    longDest += std::string(245 - longDest.size() - 1, 'd') + "\\";
    ASSERT_EQ(longDest.size(), 245u);  // the command needs 245 + 16 characters
    lstrcpyA(session.destFolder, longDest.c_str());
    session.hasUninstallItem = 1;
    lstrcpyA(session.uninstallHint, "Use <Remove> in the menu for the uninstallation.");
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    ExpectEndWithoutEntry(page, longDest);
    RegKey key;
    EXPECT_NE(key.Open(HKEY_LOCAL_MACHINE,
                       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\WizardUnitCopyPage",
                       KEY_READ),
              ERROR_SUCCESS);
    DestroyWindow(page);
}

// The uninstall command refused by the registry: the entry is not complete.
static LONG WINAPI RefuseCommand(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                 const BYTE* data, DWORD size)
{
    if (lstrcmpA(name, "UninstallString") == 0) return ERROR_CANTWRITE;
    return RegSetValueExA(key, name, reserved, type, data, size);
}

TEST_F(WizardCopyPage, RefusedUninstallCommandIsShownAtTheEnd)
{
    host.regSetValueEx = RefuseCommand;
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    ExpectEndWithoutEntry(page, dest);
    DestroyWindow(page);
}

// The first common-controls version answers PBM_GETPOS with 0; the bar stands where the
// page's own count says, and the real position is read past that answer.
static WNDPROC barProcedure;
static LRESULT CALLBACK OldBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_GETPOS) return 0;
    return CallWindowProcA(barProcedure, bar, message, wParam, lParam);
}

TEST_F(WizardCopyPage, BarKeepsItsOwnCountWhereTheControlAnswersNoPosition)
{
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    HWND bar = GetDlgItem(page, IDC_PROGRESS);
    barProcedure = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)OldBar);
    for (int step = 0; step <= 5; step++) {
        RunInstallStep();
        EXPECT_EQ(CallWindowProcA(barProcedure, bar, PBM_GETPOS, 0, 0), step + 1 > 5 ? 5 : step + 1)
            << "after step " << step;
    }
    EXPECT_EQ(session.installDone, 1);
    Pump(Done, 200);  // the commands still posted start nothing more
    EXPECT_EQ(session.copyStep, 6);
    SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)barProcedure);
    DestroyWindow(page);
}

// What the bar draws, painted into a bitmap of its size: the row through its middle.
static std::vector<DWORD> BarRow(HWND bar)
{
    RECT area;
    GetClientRect(bar, &area);
    HDC screen = GetDC(bar);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    CallWindowProcA(barProcedure, bar, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT);
    SelectObject(memory, old);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = area.right;
    format.bmiHeader.biHeight = -area.bottom;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)area.right * area.bottom);
    GetDIBits(memory, bitmap, 0, area.bottom, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(bar, screen);
    auto middle = pixels.begin() + (size_t)area.right * (area.bottom / 2);
    return std::vector<DWORD>(middle, middle + area.right);
}

static int barMoves;
static LRESULT CALLBACK CountingBar(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_DELTAPOS || message == PBM_SETPOS || message == PBM_STEPIT) barMoves++;
    return CallWindowProcA(barProcedure, bar, message, wParam, lParam);
}

// Over a long sequence the bar is moved only when its drawing changes: fewer moves than
// steps, yet after every step it draws exactly what a bar standing at that step draws,
// and it ends full.
TEST_F(WizardCopyPage, BarMovesOnlyWhenItsDrawingChanges)
{
    const int entries = 800;  // more steps than the bar has pixels
    std::string inf = "[Install]\r\n";
    for (int n = 1; n <= entries; n++)
        inf += std::to_string(n) + "=a.txt,f" + std::to_string(n) + ".txt\r\n";
    WriteInf("src\\install.inf", inf);
    session.entryCount = entries;
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    HWND bar = GetDlgItem(page, IDC_PROGRESS);
    barProcedure = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)CountingBar);
    barMoves = 0;
    int mismatches = 0;
    for (int step = 0; step <= entries + 3; step++) {
        RunInstallStep();
        LRESULT real = CallWindowProcA(barProcedure, bar, PBM_GETPOS, 0, 0);
        std::vector<DWORD> shown = BarRow(bar);
        CallWindowProcA(barProcedure, bar, PBM_SETPOS, step + 1, 0);
        if (BarRow(bar) != shown && mismatches++ < 5)
            ADD_FAILURE() << "after step " << step << " the bar at " << real
                          << " draws otherwise than at " << step + 1;
        CallWindowProcA(barProcedure, bar, PBM_SETPOS, real, 0);
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(session.installDone, 1);
    EXPECT_EQ(CallWindowProcA(barProcedure, bar, PBM_GETPOS, 0, 0), entries + 3);
    EXPECT_GT(barMoves, 3);
    EXPECT_LT(barMoves, entries * 3 / 4) << "the bar was moved at nearly every step";
    EXPECT_TRUE(FileExists(dest + "f800.txt"));
    Pump(Done, 200);
    SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)barProcedure);
    DestroyWindow(page);
}

// Enter on the page sends the same command as the sequence's own step message.
static HWND strayTarget;
static int strayQuestions;
static int WINAPI AnswerAfterStray(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    shownMessages.push_back({owner, text, caption, style});
    if (strayQuestions++ == 0) SendMessageA(strayTarget, WM_COMMAND, 1, 0);
    return IDNO;
}

TEST_F(WizardCopyPage, StrayStepCommandsStartNothing)
{
    // Entry 1's destination exists with the same date: its step asks a question, and
    // while that box runs a stray command arrives.
    WriteFile("dst\\Sample\\a.txt", "kept");
    FILETIME time;
    {
        HANDLE h = CreateFileA((source + "a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        GetFileTime(h, NULL, NULL, &time);
        CloseHandle(h);
        h = CreateFileA((dest + "a.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0,
                        NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SetFileTime(h, NULL, NULL, &time);
        CloseHandle(h);
    }
    host.messageBox = AnswerAfterStray;
    strayQuestions = 0;
    HWND page = MakePage(IDD_COPY, CopyPageProc);
    strayTarget = page;

    // Before the timer: nothing starts.
    Notify(page, PSN_SETACTIVE);
    SendMessageA(page, WM_COMMAND, 1, 0);
    EXPECT_EQ(session.copyStep, 0);
    EXPECT_FALSE(FolderExists(dest + "sub"));

    Pump(Done, 5000);
    ASSERT_EQ(session.installDone, 1);
    EXPECT_EQ(session.copyStep, 6);
    ASSERT_EQ(shownMessages.size(), 1u);  // the question of entry 1, once
    EXPECT_EQ(shownMessages[0].caption, Text(T_CONFIRM_CAPTION));
    EXPECT_EQ(ReadFileBytes(dest + "a.txt"), "kept");
    EXPECT_EQ(ReadFileBytes(dest + "sub\\b.txt"), "beta");
    SendMessageA(page, WM_COMMAND, 1, 0);  // after the end
    EXPECT_EQ(session.copyStep, 6);
    DestroyWindow(page);
}

class WizardTemplates : public WizardTest {
protected:
    static INT_PTR CALLBACK Plain(HWND, UINT message, WPARAM, LPARAM)
    {
        return message == WM_INITDIALOG;
    }
    HWND Make(const char* name) { return MakePage(name, Plain); }
    static bool Shown(HWND window, int id)
    {
        HWND item = GetDlgItem(window, id);
        return item && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE);
    }
};

TEST_F(WizardTemplates, PagesAreCaptionlessChildrenWithTheirControls)
{
    const int pages[] = {IDD_DESTINATION, IDD_DESTINATION_J, IDD_COPY, IDD_COPY_J,
                         IDD_SHORTCUTS, IDD_SHORTCUTS_J};
    for (int id : pages) {
        HWND page = MakePage(id, Plain);
        ASSERT_TRUE(page) << id;
        LONG style = GetWindowLongA(page, GWL_STYLE);
        EXPECT_TRUE(style & WS_CHILD) << id;
        EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION) << id;
        DestroyWindow(page);
    }
    HWND destination = MakePage(IDD_DESTINATION, Plain);
    for (int id : {IDC_HEADING, IDC_DEST_EDIT, IDC_BROWSE, IDC_ABOUT})
        EXPECT_TRUE(Shown(destination, id)) << id;
    EXPECT_EQ(ItemText(destination, IDC_BROWSE), "&Browse...");
    EXPECT_EQ(ItemText(destination, IDC_ABOUT), "&About...");
    DestroyWindow(destination);
    HWND copy = MakePage(IDD_COPY, Plain);
    EXPECT_EQ(ItemText(copy, IDC_COPY_STATUS), "Copying ...");
    char className[64] = "";
    GetClassNameA(GetDlgItem(copy, IDC_PROGRESS), className, sizeof className);
    EXPECT_STREQ(className, PROGRESS_CLASSA);
    EXPECT_TRUE(Shown(copy, IDC_COPY_HINT));
    DestroyWindow(copy);
    HWND shortcuts = MakePage(IDD_SHORTCUTS, Plain);
    EXPECT_EQ(ItemText(shortcuts, IDC_STARTMENU_BOX), "Register for start menu.");
    EXPECT_EQ(ItemText(shortcuts, IDC_DESKTOP_BOX), "Make a shortcut icon on desktop.");
    DestroyWindow(shortcuts);
}

TEST_F(WizardTemplates, BrowseCarriesTheFileDialogControlsWithFileControlsHidden)
{
    for (int id : {IDD_BROWSE, IDD_BROWSE_J}) {
        HWND browse = MakePage(id, Plain);
        ASSERT_TRUE(browse) << id;
        for (int shown : {1088, 1121, 1091, 1137, IDOK, IDCANCEL})
            EXPECT_TRUE(Shown(browse, shown)) << id << " " << shown;
        for (int hidden : {1090, 1152, 1120, 1089, 1136, 1038, 1040}) {
            EXPECT_TRUE(GetDlgItem(browse, hidden)) << id << " " << hidden;
            EXPECT_FALSE(Shown(browse, hidden)) << id << " " << hidden;
        }
        DestroyWindow(browse);
    }
    HWND browse = MakePage(IDD_BROWSE, Plain);
    EXPECT_EQ(WindowText(browse), "Browse");
    EXPECT_EQ(ItemText(browse, 1091), "Dri&ve:");
    EXPECT_EQ(ItemText(browse, IDCANCEL), "Cancel");
    DestroyWindow(browse);
}

TEST_F(WizardTemplates, AboutAndUninstallDialogs)
{
    HWND about = Make("ABOUT_DLG");
    ASSERT_TRUE(about);
    EXPECT_EQ(WindowText(about), "About");
    EXPECT_EQ(ItemText(about, IDOK), "OK");
    EXPECT_EQ(AboutDialogProc(about, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(AboutDialogProc(about, WM_COMMAND, 1234, 0), TRUE);  // other buttons: nothing
    EXPECT_EQ(AboutDialogProc(about, WM_MOUSEMOVE, 0, 0), FALSE);
    DestroyWindow(about);
    HWND aboutJ = Make("ABOUT_DLG_J");
    EXPECT_TRUE(aboutJ);
    DestroyWindow(aboutJ);
    for (int id : {IDD_UNINSTALL, IDD_UNINSTALL_J}) {
        HWND dialog = MakePage(id, Plain);
        ASSERT_TRUE(dialog) << id;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL))) << id;
        EXPECT_TRUE(GetDlgItem(dialog, IDC_UNINSTALL_STATUS)) << id;
        DestroyWindow(dialog);
    }
    HWND dialog = MakePage(IDD_UNINSTALL, Plain);
    EXPECT_EQ(ItemText(dialog, IDC_UNINSTALL_STATUS), "Uninstalling ...");
    EXPECT_EQ(ItemText(dialog, IDCANCEL), "Finish");
    DestroyWindow(dialog);
}
