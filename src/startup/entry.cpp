// The run: identify the program, pick the language, read the command line, load the
// context and carry out one of the three modes.
#include "startup/entry.h"
#include <shellapi.h>
#include "common/host.h"
#include "common/messages.h"
#include "common/probes.h"
#include "common/session.h"
#include "setupinfo/context.h"
#include "files/folders.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/text.h"
#include "wizard/sheet.h"
#include "uninstall/dialog.h"

const char* ReadCommandTail(const char* tail, RunMode* mode)
{
    if (*tail == '/') tail++;
    if (*tail == 'R' || *tail == 'r')
        *mode = MODE_UNINSTALL_REQUEST;
    else if (*tail == 'x')
        *mode = MODE_UNINSTALL_RUN;
    else
        *mode = MODE_INSTALL;
    return tail;
}

static int RefusePath(const char* path)
{
    ShowErrorWith(NULL, T_BAD_PROGRAM_PATH, path);
    return 0;
}

// Splits sourceFolder into the folder (kept with its backslash) and the program's name,
// from which the setup information file's name is made.
static int SplitProgramPath()
{
    char* slash = const_cast<char*>(FindLastCharDbcs(session.sourceFolder, '\\'));
    if (!slash) return 0;
    const char* name = slash + 1;
    unsigned length = lstrlenA(name);
    // The last three characters become "INF"; they must be single bytes of their own.
    if (length < 3 || IsTrailByteAt(name, length - 3)) return 0;
    if (!CopyText(session.installerName, sizeof session.installerName, name)) return 0;
    CopyText(session.infName, sizeof session.infName, name);
    slash[1] = 0;
    CopyText(session.infName + length - 3, 4, "INF");
    return 1;
}

// When the setup information file is missing, the language's own file (name ending in
// "E.INF" or "J.INF") takes its place.
static int UseLanguageFallback(int* fallback)
{
    if (PathExists(session.infPath)) return 1;
    *fallback = 1;
    CopyText(session.standardInfName, sizeof session.standardInfName, session.infName);
    char path[kPathSize];
    CopyText(path, sizeof path, session.infPath);
    path[lstrlenA(path) - 4] = 0;
    if (!AppendText(path, sizeof path, session.japanese ? "J.INF" : "E.INF")) return 0;
    if (!CopyText(session.infName, sizeof session.infName, GetLeafName(path))) return 0;
    CopyText(session.infPath, sizeof session.infPath, path);
    return 1;
}

int LocateSetupFiles(const char* tail, int* fallback)
{
    *fallback = 0;
    const char* path = session.installerPath;
    if (tail[0] == 'x') path = tail[1] ? tail + 2 : "";
    if (!CopyText(session.sourceFolder, sizeof session.sourceFolder, path) || !SplitProgramPath())
        return RefusePath(path);
    FormatText(session.infPath, sizeof session.infPath, "%s%s", session.sourceFolder,
               session.infName);
    if (!UseLanguageFallback(fallback)) return RefusePath(path);
    return 1;
}

void RequestUninstall()
{
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(T_UNINSTALL_CONFIRM), session.title);
    if (session.residentApp) AppendText(text, sizeof text, Text(T_UNINSTALL_CONFIRM_RESIDENT));
    if (ShowMessage(NULL, text, session.title, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) return;

    char system[kPathSize];
    char copy[kPathSize];
    // The copy's path and the installed program's path each fit a path's size; the
    // command holds both, so that every installation whose entry could be written can
    // also be uninstalled.
    char command[kPathSize * 2 + 4];
    ZeroMemory(system, sizeof system);
    GetSystemDirectoryA(system, sizeof system);
    if (!FormatText(copy, sizeof copy, "%s\\%s", system, session.installerName) ||
        !FormatText(command, sizeof command, "%s x %s", copy, session.installerPath)) {
        ShowError(NULL, Text(T_RELAUNCH_FAILED));
        return;
    }
    CopyFileA(session.installerPath, copy, FALSE);
    SetFileAttributesA(copy, FILE_ATTRIBUTE_NORMAL);
    SetCurrentDirectoryA(system);
    if (host.winExec(command, SW_SHOWNORMAL) < 32) ShowError(NULL, Text(T_RELAUNCH_FAILED));
}

// After a fallback file was used, the installed copy carries the regular name.
static void RenameFallbackCopy()
{
    char from[kPathSize];
    char to[kPathSize];
    if (!FormatText(from, sizeof from, "%s%s", session.destFolder, session.infName) ||
        !FormatText(to, sizeof to, "%s%s", session.destFolder, session.standardInfName))
        return;
    DeleteFileA(to);
    MoveFileA(from, to);
}

static void RunInstallMode(int fallback)
{
    SetCurrentDirectoryA(session.sourceFolder);
    RunInstallWizard();
    if (!session.installDone) {
        ShowMessage(NULL, Text(T_INSTALL_INTERRUPTED), session.title, MB_ICONINFORMATION);
        return;
    }
    if (fallback) RenameFallbackCopy();
    ShowMessage(NULL, Text(T_INSTALL_COMPLETED), session.title, MB_ICONINFORMATION);
    Sleep(100);
    if (session.openAfter)
        ShellExecuteA(NULL, "open", session.openTarget, NULL, NULL, SW_SHOWNORMAL);
}

int RunProgram(HINSTANCE instance, const char* tail)
{
    session.instance = instance;
    session.isWin32Host = HostIsWin32();
    // A path too long for the buffer is not delivered whole; it counts as not found.
    if (SearchPathA(NULL, "INSTALL.EXE", NULL, 258, session.installerPath, NULL) >= 258)
        session.installerPath[0] = 0;
    RunMode mode;
    tail = ReadCommandTail(tail, &mode);
    DetectLanguage();
    if (!session.isWin32Host) {
        ShowMessage(NULL, Text(T_OLD_HOST), Text(T_ERROR_CAPTION), MB_ICONINFORMATION);
        return 1;
    }
    ClassifyOs();
    int fallback = 0;
    if (!LocateSetupFiles(tail, &fallback)) return 1;
    if (!LoadSetupContext()) return 1;
    switch (mode) {
    case MODE_UNINSTALL_REQUEST: RequestUninstall(); break;
    case MODE_UNINSTALL_RUN: RunUninstaller(); break;
    case MODE_INSTALL: RunInstallMode(fallback); break;
    }
    return 1;
}
