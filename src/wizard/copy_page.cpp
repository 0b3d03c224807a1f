// The copy page: the install sequence, one step per posted command, and its completion.
#include "wizard/wizard.h"
#include <commctrl.h>
#include "wizard/copy.h"
#include "wizard/paths.h"
#include "setupinfo/entries.h"
#include "shell/shortcuts.h"
#include "startup/session.h"
#include "startup/texts.h"
#include "resources/resource.h"

enum { kStepCommand = 1, kStepTimer = 1, kStepDelay = 300 };

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
    RegisterUninstall();
}

static void CompleteInstallation(HWND page)
{
    ReleaseInstallSection();
    ShowWindow(GetDlgItem(page, IDC_PROGRESS), SW_HIDE);
    SetDlgItemTextA(page, IDC_COPY_STATUS, Text(T_INSTALL_SUCCEEDED));
    SetDlgItemTextA(page, IDC_COPY_HINT,
                    session.hasUninstallItem ? session.uninstallHint : Text(T_ADD_REMOVE_HINT));
    session.installDone = 1;
    ShowWindow(GetDlgItem(page, IDC_COPY_HINT), SW_SHOW);
    PostMessageA(session.sheetWindow, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
}

// Moves the bar on by one step. Some hosts repaint the whole bar at every move, which
// costs more than copying a small file; moves that would not change a pixel are gathered
// and made together, so the bar shows the same.
static void AdvanceProgress()
{
    HWND bar = GetDlgItem(session.progressWindow, IDC_PROGRESS);
    int last = LastStep();
    int target = session.copyStep + 1;
    int shown = (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
    RECT area;
    GetClientRect(bar, &area);
    if (target >= last || MulDiv(target, area.right, last) != MulDiv(shown, area.right, last))
        SendMessageA(bar, PBM_DELTAPOS, target - shown, 0);
}

void RunInstallStep()
{
    int step = session.copyStep;
    // A stray command (Enter on the page sends the same one) after the end changes nothing.
    if (step > LastStep()) return;
    if (step == 0)
        PrepareDestination();
    else if (step < LastStep())
        CopyNumberedEntry(step - 2);
    else
        MakeShortcutsAndRegister();
    AdvanceProgress();
    session.copyStep = step + 1;
    if (session.copyStep <= LastStep())
        PostMessageA(session.progressWindow, WM_COMMAND, kStepCommand, 0);
    else
        CompleteInstallation(session.progressWindow);
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
        session.progressWindow = page;
        SendMessageA(session.sheetWindow, PSM_CANCELTOCLOSE, 0, 0);
        return TRUE;
    case WM_NOTIFY:
        return OnCopyNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
        KillTimer(page, kStepTimer);
        PostMessageA(page, WM_COMMAND, kStepCommand, 0);
        return FALSE;
    case WM_COMMAND:
        if (wParam == kStepCommand) RunInstallStep();
        return FALSE;
    case WM_APP:
        ApplySheetCaption();
        return TRUE;
    }
    return FALSE;
}
