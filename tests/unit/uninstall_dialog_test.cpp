// The uninstall dialog: caption, outcome text, Finish, scheduling of the running file and the
// close message for the add/remove list.
#include "uninstall_dialog_support.h"

std::string dialogCaption, dialogStatus, scheduledPath;
bool escapeIgnored, scheduledBeforeWork;
static int ticks;

static BOOL WINAPI RecordMove(LPCSTR from, LPCSTR to, DWORD flags)
{
    scheduledPath = from;
    scheduledBeforeWork = FolderExists(session.sourceFolder);
    return !to && flags == MOVEFILE_DELAY_UNTIL_REBOOT;
}

// A thread timer that plays the user: Escape while the work is pending (which must not end
// the dialog), then, once Finish is enabled, reads the texts and presses Finish.
static void CALLBACK PlayUser(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = session.progressWindow;
    if (!dialog || !IsWindow(dialog)) return;
    HWND finish = GetDlgItem(dialog, IDCANCEL);
    if (!IsWindowEnabled(finish)) {
        if (ticks++ == 0) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            escapeIgnored = IsWindow(dialog) != FALSE;
        }
        return;
    }
    char text[400];
    GetWindowTextA(dialog, text, sizeof text);
    dialogCaption = text;
    GetDlgItemTextA(dialog, 1008, text, sizeof text);
    dialogStatus = text;
    KillTimer(NULL, timer);
    SendMessageA(finish, BM_CLICK, 0, 0);
}

void RunDialogAsUser()
{
    dialogCaption.clear();
    dialogStatus.clear();
    scheduledPath.clear();
    escapeIgnored = scheduledBeforeWork = false;
    ticks = 0;
    session.instance = GetModuleHandleA(NULL);
    host.moveFileEx = RecordMove;
    UINT_PTR timer = SetTimer(NULL, 0, 20, PlayUser);
    RunUninstaller();
    KillTimer(NULL, timer);
}

HWND MakeWindow(const char* className, HWND owner)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "list", owner ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           owner, NULL, wc.hInstance, NULL);
}

bool ReceivedClose(HWND window)
{
    MSG msg;
    return PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
}

std::string ModulePath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

TEST_F(UninstallDialog, SuccessShowsTheSentenceAndClosesTheAddRemoveList)
{
    session.osClass = 4;
    HWND list = MakeWindow("Windows Add/Remove Programs", NULL);
    InstallForDialog();
    RunDialogAsUser();
    EXPECT_TRUE(escapeIgnored);
    EXPECT_EQ(std::string(session.destFolder), dest);
    EXPECT_EQ(dialogCaption, TextWith(T_UNINSTALL_CAPTION, "Sample"));
    EXPECT_EQ(dialogStatus, TextWith(T_UNINSTALL_SUCCEEDED, "Sample"));
    EXPECT_EQ(session.uninstallSucceeded, 1);
    EXPECT_FALSE(FolderExists(dest));
    EXPECT_EQ(scheduledPath, ModulePath());
    // Scheduled before the work removed the installation: a copy killed during the work
    // does not stay in the system directory for good.
    EXPECT_TRUE(scheduledBeforeWork);
    EXPECT_TRUE(ReceivedClose(list));
    DestroyWindow(list);
}

TEST_F(UninstallDialog, LeftFilesShowTheFolderAndCloseNothing)
{
    session.osClass = 4;
    HWND list = MakeWindow("Windows Add/Remove Programs", NULL);
    InstallForDialog();
    WriteFile("App\\mine.txt", "mine");
    QueueAnswers({IDNO});
    RunDialogAsUser();
    EXPECT_EQ(dialogStatus, TextWith(T_UNINSTALL_LEFT_FILES, dest));
    ASSERT_EQ(shownMessages.size(), 2u);
    for (const ShownMessage& box : shownMessages) EXPECT_NE(box.owner, (HWND)NULL);
    EXPECT_EQ(session.uninstallSucceeded, 0);
    EXPECT_EQ(scheduledPath, ModulePath());  // scheduled whatever the outcome
    EXPECT_FALSE(ReceivedClose(list));
    DestroyWindow(list);
}

TEST_F(UninstallDialog, RunDllHostIsClosedOnlyThroughItsPopup)
{
    session.osClass = 6;
    HWND runDll = MakeWindow("RunDLL", NULL);
    InstallForDialog();
    RunDialogAsUser();
    EXPECT_EQ(session.uninstallSucceeded, 1);
    EXPECT_EQ(session.controlPanelHost, runDll);
    EXPECT_FALSE(ReceivedClose(runDll));  // no popup: its last active popup is itself

    HWND popup = MakeWindow("UninstUnitPopup", runDll);
    ShowWindow(runDll, SW_SHOW);
    ShowWindow(popup, SW_SHOW);
    SetActiveWindow(popup);
    if (GetLastActivePopup(runDll) != popup) {
        DestroyWindow(runDll);
        GTEST_SKIP() << "the window manager did not record the popup as active";
    }
    ResetSession();
    session.japanese = GetACP() == 932;
    session.osClass = 6;
    InstallForDialog();
    RunDialogAsUser();
    EXPECT_EQ(session.windowToClose, popup);
    EXPECT_TRUE(ReceivedClose(popup));
    EXPECT_FALSE(ReceivedClose(runDll));
    DestroyWindow(runDll);
}

TEST_F(UninstallDialog, WithoutAListWindowNothingIsPosted)
{
    session.osClass = 6;
    InstallForDialog();
    RunDialogAsUser();
    EXPECT_EQ(session.uninstallSucceeded, 1);
    EXPECT_EQ(session.controlPanelHost, (HWND)NULL);
    EXPECT_EQ(session.windowToClose, (HWND)NULL);
    EXPECT_EQ(scheduledPath, ModulePath());
}
