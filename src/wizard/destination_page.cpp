// The destination page: the folder proposal, Browse, About, the uninstall hint and the
// Next checks that decide whether the wizard may go on.
#include "wizard/wizard.h"
#include <commctrl.h>
#include <commdlg.h>
#include "wizard/paths.h"
#include "setupinfo/entries.h"
#include "core/destination.h"
#include "core/text.h"
#include "startup/messages.h"
#include "startup/session.h"
#include "resources/resource.h"
#include "base/holders.h"

enum { kMaxFolderChars = kPathSize - 1 };

void ScanUninstallItem()
{
    char name[kPathSize];
    if (!FindUninstallItem(name, sizeof name)) return;
    session.hasUninstallItem = 1;
    ComposeUninstallHint(Text(T_UNINSTALL_HINT), name, session.uninstallHint,
                         sizeof session.uninstallHint);
}

enum PathKind { PATH_NONE, PATH_FILE, PATH_FOLDER };

static PathKind KindOfPath(const char* path)
{
    WIN32_FIND_DATAA data;
    FindHandle found(FindFirstFileA(path, &data));
    if (!found.Valid()) return PATH_NONE;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PATH_FOLDER : PATH_FILE;
}

// Proves that a missing destination can be made: creates every level, then removes the
// deepest one again. Levels above it that were made remain. A file that has the
// destination's name is refused here: every copy into it would fail.
static int TestCreation(HWND owner)
{
    if (IsDriveRoot(session.destFolder)) return 1;  // nothing to make; never "remove" C:
    char name[kPathSize];
    CopyText(name, sizeof name, session.destFolder);
    name[lstrlenA(name) - 1] = 0;
    PathKind kind = KindOfPath(name);
    if (kind == PATH_FOLDER) return 1;
    if (kind == PATH_FILE) {
        ShowErrorWith(owner, T_FOLDER_IS_FILE, name);
        return 0;
    }
    session.progressWindow = owner;
    if (!CreateFolderPath(session.destFolder)) return 0;
    RemoveDirectoryA(name);
    return 1;
}

static int AcceptFreeSpace(HWND owner)
{
    unsigned megabytes = GetFreeMegabytes();
    if (megabytes >= 100) return 1;
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(T_FREE_SPACE), megabytes);
    return ShowMessage(owner, text, session.title, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

// An install.inf in the destination belongs to an installation whose uninstall
// information this one overwrites.
static int AcceptEarlierInstallation(HWND owner)
{
    char inf[kPathSize];
    if (!FormatText(inf, sizeof inf, "%sinstall.inf", session.destFolder)) return 1;
    if (KindOfPath(inf) == PATH_NONE) return 1;
    if (lstrcmpiA(session.destFolder, session.previousFolder) == 0) {
        session.isUpgrade = 1;
        return 1;
    }
    if (ShowMessage(owner, Text(T_UNINSTALL_INFO), session.title, MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        session.isUpgrade = 0;
        return 0;
    }
    session.isUpgrade = 1;
    return 1;
}

int CheckDestination(HWND owner)
{
    switch (NormaliseDestination(session.destFolder, sizeof session.destFolder)) {
    case DEST_TOO_LONG: ShowError(owner, Text(T_FOLDER_TOO_LONG)); return 0;
    case DEST_ROOT_DIRECTORY: ShowError(owner, Text(T_ROOT_DIRECTORY)); return 0;
    case DEST_NO_DRIVE: ShowError(owner, Text(T_DRIVE_AND_PATH)); return 0;
    case DEST_ACCEPTED: break;
    }
    return TestCreation(owner) && AcceptFreeSpace(owner) && AcceptEarlierInstallation(owner);
}

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
    chooser.lpTemplateName = MAKEINTRESOURCEA(session.japanese ? IDD_BROWSE_J : IDD_BROWSE);
    // The template's own caption; some hosts put "Save As" there when no title is given.
    chooser.lpstrTitle = Text(T_BROWSE_CAPTION);
    if (GetSaveFileNameA(&chooser) && chooser.nFileOffset < sizeof file) {
        file[chooser.nFileOffset] = 0;
        SetDlgItemTextA(page, IDC_DEST_EDIT, file);
    }
    // Some hosts' old-style dialog changes the current directory despite OFN_NOCHANGEDIR.
    SetCurrentDirectoryA(session.sourceFolder);
}

static void ShowAbout(HWND page)
{
    DialogBoxParamA(session.instance, session.japanese ? "ABOUT_DLG_J" : "ABOUT_DLG", page,
                    AboutDialogProc, 0);
}

// Next: the checks, then the page choice. A resident application goes straight to the
// copy page; the sheet is moved there and this notification keeps it from moving again.
static INT_PTR LeaveDestinationPage(HWND page)
{
    GetDlgItemTextA(page, IDC_DEST_EDIT, session.destFolder, sizeof session.destFolder);
    if (!CheckDestination(page)) return RefuseNotification(page);
    if (!session.residentApp) return FALSE;
    SendMessageA(session.sheetWindow, PSM_SETCURSEL, 2, 0);
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
