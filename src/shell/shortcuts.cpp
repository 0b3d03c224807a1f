// Shell-link shortcuts in the start menu, on the desktop and in the Startup folder.
#include "shell/shortcuts.h"
#include <windows.h>
#include <shlobj.h>
#include "setupinfo/entries.h"
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/text.h"
#include "files/folders.h"
#include "common/messages.h"
#include "common/session.h"
#include "common/shell_folders.h"
#include "base/holders.h"

static const char* const kPlaceValues[] = {"Programs", "Desktop", "Startup"};

int ReadShellFolder(ShortcutPlace place, char* folder, unsigned size)
{
    if ((unsigned)place > PLACE_STARTUP) return 0;
    return ReadShellFolderPath(HKEY_CURRENT_USER, kPlaceValues[place], folder, size);
}

enum { kSavedFolderSize = 256 };  // the current directory, kept while another is tried

// 1 when the folder can be made the current directory; the current one is kept.
static int FolderCanBeEntered(const char* folder)
{
    char saved[kSavedFolderSize];
    DWORD length = GetCurrentDirectoryA(kSavedFolderSize - 1, saved);
    if (length == 0 || length >= kSavedFolderSize - 1) {
        // The current directory could not be restored after a trial: look instead.
        DWORD attributes = GetFileAttributesA(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (!SetCurrentDirectoryA(folder)) return 0;
    SetCurrentDirectoryA(saved);
    return 1;
}

// The first link's working folder: [Working Folder] 1 when that folder exists, else the
// destination folder without its trailing backslash (a drive root such as C:\ keeps it).
static void ChooseWorkingFolder(char* chosen, unsigned size)
{
    char value[kWorkFolderSize];
    ReadInfValue("Working Folder", "1", value, sizeof value);
    if (value[0] && FolderCanBeEntered(value)) {
        CopyText(chosen, size, value);
    } else {
        CopyText(chosen, size, session.destFolder);
        if (lstrlenA(chosen) > 3) DropBackslash(chosen);
    }
    if (!CopyText(session.workingFolder, sizeof session.workingFolder, chosen))
        session.workingFolder[0] = 0;
}

// Makes the link of the current item (entryValue the name, entryTarget the target and
// any arguments) in folder. A name or target that does not fit is refused with a message.
static void MakeLink(const char* folder, int item)
{
    char linkPath[kPathSize];
    if (!session.entryValue[0]) return;
    if (!session.entryTarget[0] ||
        !FormatText(linkPath, sizeof linkPath, "%s%s.lnk", folder, session.entryValue)) {
        ShowErrorWith(session.progressWindow, T_SHORTCUT_TOO_LONG, session.entryValue);
        return;
    }
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))))
        return;
    char* comma = FindCharDbcs(session.entryTarget + session.entryRelative, ',');
    if (comma) {
        *comma = 0;
        link->SetArguments(comma + 1);
    }
    link->SetPath(session.entryTarget);
    link->SetDescription(session.entryValue);
    if (item == 1 && !session.residentApp) {
        char working[kPathSize];
        ChooseWorkingFolder(working, sizeof working);
        link->SetWorkingDirectory(working);
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_PPV_ARGS(&file))))
        return;
    WCHAR wide[kPathSize];
    if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wide, kPathSize)) return;
    file->Save(wide, TRUE);
}

// Folder of the links and the first item: the program group with its [Group] entries,
// or one link named after the title. Returns the number of items, 0 when none.
static int PrepareItems(ShortcutPlace place, char* folder, unsigned size)
{
    if (place != PLACE_PROGRAMS || session.groupCount <= 0) {
        ResolveEntry(1);
        CopyText(session.entryValue, sizeof session.entryValue, session.title);
        return 1;
    }
    if (!AppendText(folder, size, session.title) || !AppendText(folder, size, "\\")) {
        ShowErrorWith(session.progressWindow, T_SHORTCUT_TOO_LONG, session.title);
        return 0;
    }
    CreateFolderLevel(folder);  // the links are attempted even when this failed
    ResolveGroupEntry(1);
    return session.groupCount;
}

void CreateShortcuts(ShortcutPlace place)
{
    char folder[kPathSize];
    if (!ReadShellFolder(place, folder, sizeof folder)) return;
    int count = PrepareItems(place, folder, sizeof folder);
    if (count == 0) return;
    ComInit com;
    for (int item = 1;; item++) {
        MakeLink(folder, item);
        if (item >= count) break;
        ResolveGroupEntry(item + 1);
    }
}
