// The run: identify the program, pick the language, read the command line, load the
// context and carry out one of the three modes.
#include "startup/entry.h"
#include <shellapi.h>
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
#include "uninstall/request.h"

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
    // The last three bytes become "INF": the first of them must begin a character, so
    // that none is cut in two (the bytes after it are all replaced).
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
    int recentHost = HostVersionIs4OrLater();
    // A path too long for the buffer is not delivered whole; it counts as not found.
    if (SearchPathA(NULL, "INSTALL.EXE", NULL, kProgramPathRead, session.installerPath, NULL) >=
        kProgramPathRead)
        session.installerPath[0] = 0;
    RunMode mode;
    tail = ReadCommandTail(tail, &mode);
    DetectLanguage();
    if (!recentHost) {
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
