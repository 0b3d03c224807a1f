// Loads and checks the installation context and looks for an earlier installation.
#include "setupinfo/context.h"
#include "setupinfo/entries.h"
#include "core/destination.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/sizes.h"
#include "core/text.h"
#include "common/messages.h"
#include "common/probes.h"
#include "common/session.h"
#include "common/keys.h"
#include "base/registry.h"

// Reads UninstallString of sub-key index of the Uninstall key into a kRegTextSize buffer
// (empty when it cannot be read or is too long). -1: no such sub-key.
static int ReadUninstallCommand(HKEY parent, DWORD index, char* command)
{
    char name[kRegTextSize];
    ZeroMemory(name, sizeof name);
    ZeroMemory(command, kRegTextSize);
    if (RegEnumKeyA(parent, index, name, kRegTextRead) != ERROR_SUCCESS) return -1;
    RegKey entry;
    if (entry.Open(parent, name, KEY_ALL_ACCESS) != ERROR_SUCCESS) return 0;
    entry.ReadText("UninstallString", command, kRegTextSize);
    return 1;
}

// 1 when session.destFolder holds the last element of entry 1's destination, whose
// relative name (resolved once per scan) is given.
static int HoldsFirstEntry(const char* relative)
{
    char target[kPathSize];
    char path[kPathSize];
    if (!FormatText(target, sizeof target, "%s%s", session.destFolder, relative)) return 0;
    const char* leaf = GetLeafName(target);
    if (!*leaf || !FormatText(path, sizeof path, "%s%s", session.destFolder, leaf)) return 0;
    // The attributes answer "is it there" without opening the folder for a search, which
    // counts when thousands of entries are looked through.
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void ScanEarlierInstallation()
{
    // Entry 1's name after the folder is the same for every candidate folder.
    char relative[kPathSize];
    session.destFolder[0] = 0;
    ResolveEntry(1);
    CopyText(relative, sizeof relative, session.entryTarget + session.entryRelative);
    // One handle for the whole walk: with thousands of sub-keys every registry call counts.
    RegKey parent;
    if (parent.Open(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS)
        return;
    char command[kRegTextSize];
    for (DWORD index = 0;; index++) {
        int read = ReadUninstallCommand(parent, index, command);
        if (read < 0) break;
        if (!read || !IsUninstallCandidate(command)) continue;
        if (FolderOfUninstallString(command, session.destFolder, sizeof session.destFolder) &&
            HoldsFirstEntry(relative))
            return;
        ZeroMemory(session.destFolder, sizeof session.destFolder);
    }
}

static void ProposeDestinationFolder()
{
    char windows[kPathSize];
    ZeroMemory(windows, sizeof windows);
    GetWindowsDirectoryA(windows, kWindowsFolderRead);
    ProposeDestination(windows, session.folder, session.destFolder, sizeof session.destFolder);
}

static void CountEntries()
{
    InstallSectionHold held;
    session.entryCount = CountInstallEntries();
    session.groupCount = CountGroupEntries();
}

int LoadSetupContext()
{
    LowerAscii(session.infPath);
    ReadInfValue("Install", "Title", session.title, sizeof session.title);
    ReadInfValue("Install", "Folder", session.folder, sizeof session.folder);
    if (!session.title[0] || !session.folder[0]) {
        ShowError(NULL, Text(T_DAMAGED_FILE));
        return 0;
    }
    if (!ReadStartupLeaf()) {
        ShowError(NULL, Text(T_REGISTRY_UNREADABLE));
        return 0;
    }
    if (session.startupLeaf[0] && lstrcmpiA(session.title, session.startupLeaf) == 0) {
        ShowError(NULL, Text(T_STARTUP_TITLE));
        return 0;
    }
    char tsr[10];
    ReadInfValue("Install", "TSR", tsr, sizeof tsr);
    if (tsr[0] == '1') session.residentApp = 1;
    if (FindCharDbcs(session.folder, '\\')) {
        ShowError(NULL, Text(T_SUBFOLDER));
        return 0;
    }
    ScanEarlierInstallation();
    if (session.destFolder[0])
        CopyText(session.previousFolder, sizeof session.previousFolder, session.destFolder);
    else
        ProposeDestinationFolder();
    CountEntries();
    return 1;
}
