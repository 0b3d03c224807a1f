// The uninstall request of /r: the confirmation, the copy of the program in the system
// directory and its start with "x" and the installed program's path.
#include "uninstall/request.h"
#include "common/host.h"
#include "common/messages.h"
#include "common/session.h"
#include "core/text.h"

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
