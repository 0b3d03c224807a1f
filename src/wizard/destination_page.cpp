// The destination page: the folder proposal, Browse and About; on Next the checks of
// wizard/destination.h decide whether the wizard may go on.
#include "wizard/pages.h"
#include "wizard/sheet.h"
#include <commctrl.h>
#include <commdlg.h>
#include "wizard/destination.h"
#include "common/messages.h"
#include "common/session.h"
#include "common/window.h"
#include "resources/resource.h"
#include "core/text.h"

enum { kMaxFolderChars = kPathSize - 1 };

static void InitDestinationPage(HWND page)
{
    session.sheetWindow = GetParent(page);
    CenterWindow(session.sheetWindow);
    SendDlgItemMessageA(page, IDC_DEST_EDIT, EM_LIMITTEXT, kMaxFolderChars, 0);
    char heading[kMessageSize];
    FormatText(heading, sizeof heading, Text(T_HEADING), session.title);
    SetDlgItemTextA(page, IDC_HEADING, heading);
    ApplySheetCaption();
    ScanUninstallItem();
}

static void ActivateDestinationPage(HWND page)
{
    PostMessageA(session.sheetWindow, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    SetDlgItemTextA(page, IDC_DEST_EDIT, session.destFolder);
    ReapplyCaptionLater(page);
}

// The save-file dialog with a template that hides the file controls serves as a folder
// chooser: the folder is what stands in front of the file name it returns.
static void BrowseForFolder(HWND page)
{
    char root[kPathSize];
    ZeroMemory(root, sizeof root);
    GetWindowsDirectoryA(root, sizeof root);
    root[3] = 0;
    SetCurrentDirectoryA(root);

    char file[kPathSize] = "dummy";
    OPENFILENAMEA chooser;
    ZeroMemory(&chooser, sizeof chooser);
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = page;
    chooser.hInstance = session.instance;
    chooser.lpstrFilter = "*.*\0*.*\0";
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = file;
    chooser.nMaxFile = sizeof file;
    chooser.Flags = OFN_ENABLETEMPLATE | OFN_NOCHANGEDIR;
    chooser.lpTemplateName = TemplateFor(IDD_BROWSE);
    // The template's own caption; Wine puts "Save As" there when no title is given.
    chooser.lpstrTitle = Text(T_BROWSE_CAPTION);
    if (GetSaveFileNameA(&chooser) && chooser.nFileOffset < sizeof file) {
        file[chooser.nFileOffset] = 0;
        SetDlgItemTextA(page, IDC_DEST_EDIT, file);
    }
    // Wine's old-style dialog changes the current directory despite OFN_NOCHANGEDIR.
    SetCurrentDirectoryA(session.sourceFolder);
}

static void ShowAbout(HWND page)
{
    DialogBoxParamA(session.instance, AboutTemplate(), page, AboutDialogProc, 0);
}

// Next: the checks, then the page choice. A resident application goes straight to the
// copy page; the sheet is moved there and this notification keeps it from moving again.
static INT_PTR LeaveDestinationPage(HWND page)
{
    GetDlgItemTextA(page, IDC_DEST_EDIT, session.destFolder, sizeof session.destFolder);
    if (!CheckDestination(page)) return RefuseNotification(page);
    if (!session.residentApp) return FALSE;
    SendMessageA(session.sheetWindow, PSM_SETCURSEL, kCopyPage, 0);
    return RefuseNotification(page);
}

static INT_PTR OnDestinationNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        ActivateDestinationPage(page);
        return FALSE;
    case PSN_WIZNEXT:
        return LeaveDestinationPage(page);
    }
    return FALSE;
}

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDestinationPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_BROWSE) BrowseForFolder(page);
        if (LOWORD(wParam) == IDC_ABOUT) ShowAbout(page);
        return FALSE;
    case WM_NOTIFY:
        return OnDestinationNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_APP:
        ApplySheetCaption();
        return TRUE;
    }
    return FALSE;
}
