// The uninstall dialog and its launcher: runs the engine once, shows the outcome, then
// schedules the running copy for deletion and closes the add/remove list after a success.
#include "uninstall/dialog.h"
#include "uninstall/deferred.h"
#include "uninstall/engine.h"
#include "resources/resource.h"
#include "common/session.h"
#include "common/texts.h"
#include "common/window.h"
#include "core/text.h"

enum {
    kUninstallTimer = 1,
    kTimerDelay = 300,   // ms between the dialog's appearance and the work
    kCaptionSize = 200,  // "Uninstallation of " and the title
    kOutcomeSize = 360   // the outcome: the title or the destination folder in a sentence
};

// Finds the window to close after a complete success.
static void FindListWindow()
{
    if (session.osClass == OS_WIN2000) {
        session.windowToClose = FindWindowExA(NULL, NULL, "Windows Add/Remove Programs", NULL);
        return;
    }
    session.controlPanelHost = FindWindowExA(NULL, NULL, "RunDLL", NULL);
    if (session.controlPanelHost)
        session.windowToClose = GetLastActivePopup(session.controlPanelHost);
}

static void StartUninstallDialog(HWND dialog)
{
    session.progressWindow = dialog;
    CenterWindow(dialog);
    char caption[kCaptionSize];
    FormatText(caption, sizeof caption, Text(T_UNINSTALL_CAPTION), session.title);
    SetWindowTextA(dialog, caption);
    FindListWindow();
    SetTimer(dialog, kUninstallTimer, kTimerDelay, NULL);
}

static void ShowToFront(HWND dialog)
{
    SetForegroundWindow(dialog);
    if (!IsWindowEnabled(dialog)) BringWindowToTop(dialog);
}

// The work, once the dialog is on the screen.
static void RunUninstallWork(HWND dialog)
{
    KillTimer(dialog, kUninstallTimer);
    SetForegroundWindow(dialog);
    char text[kOutcomeSize];
    if (UninstallAll()) {
        FormatText(text, sizeof text, Text(T_UNINSTALL_SUCCEEDED), session.title);
        session.uninstallSucceeded = 1;
    } else {
        FormatText(text, sizeof text, Text(T_UNINSTALL_LEFT_FILES), session.destFolder);
    }
    SetDlgItemTextA(dialog, IDC_UNINSTALL_STATUS, text);
    HWND finish = GetDlgItem(dialog, IDCANCEL);
    EnableWindow(finish, TRUE);
    SetFocus(finish);
    ShowToFront(dialog);
}

INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        StartUninstallDialog(dialog);
        return FALSE;
    case WM_TIMER:
        RunUninstallWork(dialog);
        return FALSE;
    case WM_COMMAND:
        // Escape and the close box send the same command; only Finish, once enabled, ends.
        if (LOWORD(wParam) == IDCANCEL && IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)))
            EndDialog(dialog, 1);
        return FALSE;
    }
    return FALSE;
}

// After a complete success the add/remove list is closed, so that it shows itself anew.
static void CloseListWindow()
{
    if (!session.uninstallSucceeded || !session.windowToClose) return;
    if (session.osClass != OS_WIN2000 &&
        (!session.controlPanelHost || session.windowToClose == session.controlPanelHost))
        return;
    PostMessageA(session.windowToClose, WM_CLOSE, 0, 0);
}

// The running copy in the system directory goes at the next start of the system.
static void ScheduleRunningCopy()
{
    char path[kPathSize];
    DWORD length = GetModuleFileNameA(session.instance, path, sizeof path);
    if (length && length < sizeof path) ScheduleDeleteAtRestart(path);
}

void RunUninstaller()
{
    session.uninstallSucceeded = 0;
    CopyText(session.destFolder, sizeof session.destFolder, session.sourceFolder);
    // Recorded before the work, whatever its outcome will be: a copy killed during the
    // work would otherwise stay in the system directory for good.
    ScheduleRunningCopy();
    DialogBoxParamA(session.instance, TemplateFor(IDD_UNINSTALL), NULL, UninstallDialogProc, 0);
    session.progressWindow = NULL;
    CloseListWindow();
}
