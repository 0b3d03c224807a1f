// steps.cpp - times the program's own routines inside one process, to see where the time
// of a job goes. Linked with the program's code like the unit tests.
//
//   steps.exe scan INF
//       The earlier-installation scan (ScanEarlierInstallation) with INF as the setup
//       information file. Prints "keys=0 ms=T".
//   steps.exe resolve INF
//       Every [Install] entry of INF resolved once with the section held, as the install
//       sequence and the uninstallation do. Prints "entries=N ms=T".
//   steps.exe breakdown INF SOURCE_DIR DEST_DIR
//       The install sequence over the package of INF (whose [Install] entries name files of
//       SOURCE_DIR), taken apart: every part runs on a fresh DEST_DIR (removed again
//       untimed) and prints one line "part=NAME ms=T steps=S". Parts, each adding one
//       piece of the sequence's work to the one before or standing alone:
//         copy       CopyFileA (fail-if-exists) of every file, the installer and INF
//         attributes the same, each followed by SetFileAttributesA (normal)
//         resolve    ResolveEntry of every entry, [Install] held (no file work)
//         entries    ResolveEntry and CopyEntry of every entry (the copy steps' work)
//         finish     the last step alone: both links and the uninstall entry
//         chain      the posted-message chain alone: one empty step per posted command
//         bar        the chain with the progress bar moved as the copy page moves it
//         page       the real copy page: every step through CopyPageProc
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "resources/resource.h"
#include "common/host.h"
#include "common/keys.h"
#include "common/probes.h"
#include "common/session.h"
#include "files/folders.h"
#include "setupinfo/context.h"
#include "setupinfo/entries.h"
#include "shell/shortcuts.h"
#include "wizard/copy_entry.h"
#include "wizard/pages.h"
#include "wizard/register.h"

static LARGE_INTEGER frequency;

static double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// Every question is answered Yes and every notice OK, silently: none is expected.
static int WINAPI QuietMessage(HWND, LPCSTR text, LPCSTR, UINT)
{
    fprintf(stderr, "steps: message: %s\n", text);
    return IDYES;
}

static void SetUpSession(const char* inf, const char* dest)
{
    ZeroMemory(&session, sizeof session);
    session.instance = GetModuleHandleA(NULL);
    ClassifyOs();  // the host class decides how much of [Install] is held at once
    lstrcpynA(session.infPath, inf, kPathSize);
    lstrcpyA(session.installerName, "INSTALL.EXE");
    lstrcpyA(session.infName, "install.inf");
    GetPrivateProfileStringA("Install", "Title", "", session.title, kTitleSize, inf);
    GetPrivateProfileStringA("Install", "Folder", "", session.folder, kTitleSize, inf);
    if (dest) wsprintfA(session.destFolder, "%s\\", dest);
    InstallSectionHold held;
    while (ResolveEntry(session.entryCount + 1), session.entryValue[0]) session.entryCount++;
    session.startMenuChecked = 1;
    session.desktopChecked = 1;
}

// Removes DEST_DIR's files and the folder, the two links and the uninstall entry.
static void CleanUp(const char* dest)
{
    char pattern[MAX_PATH], path[MAX_PATH];
    WIN32_FIND_DATAA data;
    wsprintfA(pattern, "%s\\*", dest);
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            wsprintfA(path, "%s\\%s", dest, data.cFileName);
            DeleteFileA(path);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dest);
    for (int place = PLACE_PROGRAMS; place <= PLACE_DESKTOP; place++) {
        if (!ReadShellFolder((ShortcutPlace)place, path, sizeof path)) continue;
        lstrcatA(path, session.title);
        lstrcatA(path, ".lnk");
        DeleteFileA(path);
    }
    wsprintfA(path, "%s%s", UNINSTALL_KEY, session.folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
}

static void Report(const char* part, double ms, int steps)
{
    printf("part=%s ms=%.3f steps=%d\n", part, ms, steps);
    fflush(stdout);
}

// The file loops: mode 0 copies, 1 copies and sets attributes.
static double FileLoop(int mode)
{
    CreateFolderPath(session.destFolder);
    InstallSectionHold held;
    static char* from[20004];
    static char* to[20004];
    int n = 0;
    for (int entry = -1; entry <= session.entryCount && n < 20004; entry++, n++) {
        ResolveEntry(entry);
        from[n] = _strdup(session.entryValue);
        to[n] = _strdup(session.entryTarget);
    }
    double t0 = Now();
    for (int i = 0; i < n; i++) {
        CopyFileA(from[i], to[i], TRUE);
        if (mode == 1) SetFileAttributesA(to[i], FILE_ATTRIBUTE_NORMAL);
    }
    double t = Now() - t0;
    for (int i = 0; i < n; i++) free(from[i]), free(to[i]);
    return t;
}

static double Resolve()
{
    InstallSectionHold held;
    double t0 = Now();
    for (int entry = -1; entry <= session.entryCount; entry++) ResolveEntry(entry);
    return Now() - t0;
}

static double Entries()
{
    CreateFolderPath(session.destFolder);
    double t0 = Now();
    HoldInstallSection();
    for (int entry = -1; entry <= session.entryCount; entry++) {
        ResolveEntry(entry);
        CopyEntry();
    }
    ReleaseInstallSection();
    return Now() - t0;
}

static double Finish()
{
    CreateFolderPath(session.destFolder);
    double t0 = Now();
    CreateShortcuts(PLACE_PROGRAMS);
    CreateShortcuts(PLACE_DESKTOP);
    RegisterUninstall();
    return Now() - t0;
}

// A stand-in for the sheet: a visible top-level window that the page is a child of.
static HWND MakeSheet()
{
    HWND sheet = CreateWindowExA(0, "STATIC", "steps", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 420, 260, NULL, NULL, session.instance, NULL);
    session.sheetWindow = sheet;
    return sheet;
}

// The chain without the copy page's work: each command posts the next; with bar set, the
// progress bar moves per step exactly as the copy page moves it.
static int chainBar;
static int chainStep;
static int chainLast;
static int chainShown;

static INT_PTR CALLBACK ChainProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, (WORD)chainLast));
        return TRUE;
    }
    if (message != WM_COMMAND || wParam != 1) return FALSE;
    if (chainBar) {
        HWND bar = GetDlgItem(page, IDC_PROGRESS);
        int target = chainStep + 1;
        RECT area;
        GetClientRect(bar, &area);
        int width = area.right - 2;  // the inside of the bar's frame
        if (target >= chainLast ||
            MulDiv(target, width, chainLast) != MulDiv(chainShown, width, chainLast)) {
            SendMessageA(bar, PBM_DELTAPOS, target - chainShown, 0);
            chainShown = target;
        }
    }
    if (++chainStep <= chainLast) PostMessageA(page, WM_COMMAND, 1, 0);
    return FALSE;
}

static void Pump(const int* done, const int* counter, int end)
{
    MSG msg;
    while ((done ? !*done : *counter <= end) && GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!msg.hwnd) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static double Chain(int bar)
{
    HWND sheet = MakeSheet();
    chainBar = bar;
    chainStep = 0;
    chainShown = 0;
    chainLast = session.entryCount + 3;
    HWND page = CreateDialogParamA(session.instance, MAKEINTRESOURCEA(IDD_COPY), sheet, ChainProc, 0);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(sheet);
    double t0 = Now();
    PostMessageA(page, WM_COMMAND, 1, 0);
    Pump(NULL, &chainStep, chainLast);
    double t = Now() - t0;
    DestroyWindow(sheet);
    return t;
}

static double Page()
{
    HWND sheet = MakeSheet();
    HWND page = CreateDialogParamA(session.instance, MAKEINTRESOURCEA(IDD_COPY), sheet, CopyPageProc, 0);
    ShowWindow(page, SW_SHOW);
    UpdateWindow(sheet);
    double t0 = Now();
    PostMessageA(page, WM_TIMER, 1, 0);  // as the page's start timer does, without the delay
    Pump(&session.installDone, NULL, 0);
    double t = Now() - t0;
    DestroyWindow(sheet);
    return t;
}

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&frequency);
    ResetHostHooks();
    host.messageBox = QuietMessage;
    if (argc == 3 && strcmp(argv[1], "scan") == 0) {
        SetUpSession(argv[2], NULL);
        // The process's first registry access costs extra; the baseline makes it untimed too.
        HKEY warm;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &warm) == ERROR_SUCCESS)
            RegCloseKey(warm);
        double t0 = Now();
        ScanEarlierInstallation();
        double t = Now() - t0;
        printf("found=%d ms=%.3f\n", session.destFolder[0] ? 1 : 0, t);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "resolve") == 0) {
        SetUpSession(argv[2], "C:\\Dest");
        double t = Resolve();
        printf("entries=%d ms=%.3f\n", session.entryCount, t);
        return 0;
    }
    if (argc != 5 || strcmp(argv[1], "breakdown") != 0) {
        fputs("usage: steps.exe scan INF | resolve INF | breakdown INF SOURCE_DIR DEST_DIR\n",
              stderr);
        return 2;
    }
    InitCommonControls();
    const char* dest = argv[4];
    SetUpSession(argv[2], dest);
    SetCurrentDirectoryA(argv[3]);
    int steps = session.entryCount + 4;
    CleanUp(dest);
    Report("copy", FileLoop(0), steps);
    CleanUp(dest);
    Report("attributes", FileLoop(1), steps);
    CleanUp(dest);
    Report("resolve", Resolve(), steps);
    Report("entries", Entries(), steps);
    CleanUp(dest);
    Report("finish", Finish(), steps);
    CleanUp(dest);
    Report("chain", Chain(0), steps);
    Report("bar", Chain(1), steps);
    SetUpSession(argv[2], dest);
    Report("page", Page(), steps);
    CleanUp(dest);
    return 0;
}
