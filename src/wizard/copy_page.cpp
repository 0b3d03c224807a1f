// The copy page: the install sequence, one step per posted command, and its completion.
#include "wizard/pages.h"
#include "wizard/sheet.h"
#include <commctrl.h>
#include "wizard/copy_entry.h"
#include "wizard/register.h"
#include "files/folders.h"
#include "setupinfo/entries.h"
#include "shell/shortcuts.h"
#include "common/session.h"
#include "common/texts.h"
#include "resources/resource.h"

enum { kStepCommand = 1, kStepTimer = 1, kStepDelay = 300 };

// The page's own state, cleared when the page is made. The bar's position is kept here:
// the first common-controls version answers PBM_GETPOS with 0.
static struct {
    int shownPosition;  // where the bar stands
    int stepPosted;     // a step command of ours is on its way
    int stepRunning;    // a step is running (its message boxes run their own loops)
    int registered;     // the uninstall entry was written
} pageState;

static int LastStep()
{
    return session.entryCount + 3;
}

static void PrepareDestination()
{
    HoldInstallSection();  // until the completion: one read of [Install] for every entry
    SendDlgItemMessageA(session.progressWindow, IDC_PROGRESS, PBM_SETRANGE, 0,
                        MAKELPARAM(0, (WORD)LastStep()));
    CreateFolderPath(session.destFolder);
}

// Entry -1 is the installer, 0 the setup information file, 1..N the [Install] entries.
// A target too long for its field is left empty by the resolution; the copy reports it.
static void CopyNumberedEntry(int n)
{
    ResolveEntry(n);
    CopyEntry();
}

static void MakeShortcutsAndRegister()
{
    if (session.residentApp) {
        CreateShortcuts(PLACE_STARTUP);
    } else {
        if (session.startMenuChecked) CreateShortcuts(PLACE_PROGRAMS);
        if (session.desktopChecked) CreateShortcuts(PLACE_DESKTOP);
    }
    pageState.registered = RegisterUninstall();
}

// The hint at the end: how to uninstall, or that no uninstall entry could be written (a
// destination too long for the command, a registry that refuses it), which leaves the
// program out of the control panel's list.
static const char* UninstallHint()
{
    if (!pageState.registered) return Text(T_NO_UNINSTALL_ENTRY);
    return session.hasUninstallItem ? session.uninstallHint : Text(T_ADD_REMOVE_HINT);
}

static void CompleteInstallation(HWND page)
{
    ReleaseInstallSection();
    ShowWindow(GetDlgItem(page, IDC_PROGRESS), SW_HIDE);
    SetDlgItemTextA(page, IDC_COPY_STATUS, Text(T_INSTALL_SUCCEEDED));
    SetDlgItemTextA(page, IDC_COPY_HINT, UninstallHint());
    session.installDone = 1;
    ShowWindow(GetDlgItem(page, IDC_COPY_HINT), SW_SHOW);
    PostMessageA(session.sheetWindow, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
}

// Moves the bar on by one step. Wine repaints the whole bar at every move, which
// costs more than copying a small file; moves that would not change a pixel are gathered
// and made together, so the bar shows the same. The bar fills the inside of its own
// one-pixel frame, two pixels narrower than its client area.
static void AdvanceProgress()
{
    HWND bar = GetDlgItem(session.progressWindow, IDC_PROGRESS);
    int last = LastStep();
    int target = session.copyStep + 1;
    int shown = pageState.shownPosition;
    RECT area;
    GetClientRect(bar, &area);
    int width = area.right - 2;
    if (target >= last || MulDiv(target, width, last) != MulDiv(shown, width, last)) {
        SendMessageA(bar, PBM_DELTAPOS, target - shown, 0);
        pageState.shownPosition = target;
    }
}

static void PostNextStep()
{
    pageState.stepPosted = 1;
    PostMessageA(session.progressWindow, WM_COMMAND, kStepCommand, 0);
}

void RunInstallStep()
{
    int step = session.copyStep;
    // A step already running (a stray command reaches the page while one of its message
    // boxes runs) or a sequence already done is never started again.
    if (pageState.stepRunning || step > LastStep()) return;
    pageState.stepRunning = 1;
    if (step == 0)
        PrepareDestination();
    else if (step < LastStep())
        CopyNumberedEntry(step - 2);
    else
        MakeShortcutsAndRegister();
    AdvanceProgress();
    session.copyStep = step + 1;
    pageState.stepRunning = 0;
    if (session.copyStep <= LastStep())
        PostNextStep();
    else
        CompleteInstallation(session.progressWindow);
}

// A step command: ours only when one was posted. Enter on the page sends the same
// command; one that comes before the timer or between steps starts nothing.
static void OnStepCommand()
{
    if (!pageState.stepPosted) return;
    pageState.stepPosted = 0;
    RunInstallStep();
}

static void FinishInstallation()
{
    SetCurrentDirectoryA(session.destFolder);
    if (ReadInfValue("Install", "Open", session.openTarget, sizeof session.openTarget))
        session.openAfter = 1;
}

static void ActivateCopyPage(HWND page)
{
    SendMessageA(session.sheetWindow, PSM_SETWIZBUTTONS, 0, 0);
    SetTimer(page, kStepTimer, kStepDelay, NULL);
    ReapplyCaptionLater(page);
}

static INT_PTR OnCopyNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        ActivateCopyPage(page);
        break;
    case PSN_WIZFINISH:
        FinishInstallation();
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ZeroMemory(&pageState, sizeof pageState);
        session.progressWindow = page;
        SendMessageA(session.sheetWindow, PSM_CANCELTOCLOSE, 0, 0);
        return TRUE;
    case WM_NOTIFY:
        return OnCopyNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
        KillTimer(page, kStepTimer);
        // The sequence starts once: a later tick (another activation) starts no second chain.
        if (session.copyStep == 0 && !pageState.stepPosted && !pageState.stepRunning)
            PostNextStep();
        return FALSE;
    case WM_COMMAND:
        if (wParam == kStepCommand) OnStepCommand();
        return FALSE;
    case WM_APP:
        ApplySheetCaption();
        return TRUE;
    case WM_DESTROY:
        ReleaseInstallSection();  // a sheet closed before the end leaves nothing held
        return FALSE;
    }
    return FALSE;
}
