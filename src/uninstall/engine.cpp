// The uninstall engine: [Reg] keys, installed files, the installation folder and the uninstall entry.
#include "uninstall/engine.h"
#include "uninstall/shortcuts_removal.h"
#include "setupinfo/entries.h"
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/text.h"
#include "common/messages.h"
#include "common/session.h"
#include "common/keys.h"
#include "files/folders.h"
#include "base/registry.h"

// The system's key for a root named in [Reg].
static HKEY RootKey(RegRoot root)
{
    switch (root) {
    case REG_ROOT_CURRENT_USER: return HKEY_CURRENT_USER;
    case REG_ROOT_LOCAL_MACHINE: return HKEY_LOCAL_MACHINE;
    case REG_ROOT_CLASSES_ROOT: break;
    }
    return HKEY_CLASSES_ROOT;
}

// Every key listed in [Reg], until the first empty or missing number.
static void DeleteListedKeys()
{
    char value[kPathSize];
    int count = CountRegEntries();
    for (int n = 1; n <= count; n++) {
        ReadInfValue("Reg", FormatEntryKey((unsigned)n), value, sizeof value);
        RegRoot root;
        const char* subKey;
        if (ParseRegValue(value, &root, &subKey))
            RegKey::DeleteTree(RootKey(root), subKey);
        else
            ShowError(session.progressWindow, Text(T_ABNORMAL_REG));
    }
}

int DeleteOneFile(const char* path)
{
    // Deleting first spares a search per file; only a failed deletion asks whether the
    // file was there at all (a file that is gone counts as removed).
    if (DeleteFileA(path) || !PathExists(path)) return 1;
    ShowErrorWith(session.progressWindow, T_DELETE_FAILED, path);
    return 0;
}

// The installed files: the entries from the last down to 1, then the setup information
// file and the installer. 0 when entry 1 stays: the work then ends so that it can be repeated.
static int DeleteInstalledFiles(int* result)
{
    for (int n = session.entryCount; n >= -1; n--) {
        // A destination path too long to form cannot have been installed.
        if (!ResolveEntry(n) || !session.entryTarget[0]) continue;
        if (DeleteOneFile(session.entryTarget)) continue;
        *result = 0;
        if (n != 1) continue;
        char text[kMessageSize];
        FormatText(text, sizeof text, Text(T_ENTRY1_NOT_DELETED), session.entryTarget,
                   session.title);
        ShowError(session.progressWindow, text);
        return 0;
    }
    return 1;
}

// The folder message for folder (given with its trailing backslash); always 0.
static int ReportFolderKept(const char* folder)
{
    char path[kPathSize];
    CopyText(path, sizeof path, folder);
    DropBackslash(path);
    ShowErrorWith(session.progressWindow, T_FOLDER_NOT_DELETED, path);
    return 0;
}

// A name whose text after its first dot is "gid" in any case: a help index, deleted unasked.
static int IsHelpIndex(const char* name)
{
    const char* dot = FindCharDbcs(name, '.');
    return dot && lstrcmpiA(dot + 1, "gid") == 0;
}

enum MatchOutcome { MATCH_GONE, MATCH_KEPT, MATCH_STOP };

// One file of the walk: asked about (help indexes excepted) and deleted on Yes.
static MatchOutcome OfferFile(const char* path, const char* name)
{
    if (!IsHelpIndex(name)) {
        char text[kMessageSize];
        FormatText(text, sizeof text, Text(T_ASK_DELETE), path);
        int answer = ShowMessage(session.progressWindow, text, session.title,
                                 MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
        if (answer == IDCANCEL) return MATCH_STOP;
        if (answer != IDYES) return MATCH_KEPT;
    }
    return DeleteOneFile(path) ? MATCH_GONE : MATCH_KEPT;
}

static_assert(kFolderAttribute == FILE_ATTRIBUTE_DIRECTORY &&
                  kReparseAttribute == FILE_ATTRIBUTE_REPARSE_POINT &&
                  kMountPointTag == IO_REPARSE_TAG_MOUNT_POINT &&
                  kSymbolicLinkTag == IO_REPARSE_TAG_SYMLINK,
              "the walk's rule takes the system's values");

static MatchOutcome OfferMatch(const char* folder, const WIN32_FIND_DATAA& data, int* tooLong)
{
    const char* name = data.cFileName;
    WalkStep step = WalkStepOf(data.dwFileAttributes, data.dwReserved0);
    if (step == WALK_LEAVE) return MATCH_KEPT;
    // A folder to walk is named with its backslash, as the walk takes folders.
    char path[kPathSize];
    if (!FormatText(path, sizeof path, step == WALK_DESCEND ? "%s%s\\" : "%s%s", folder, name)) {
        *tooLong = 1;
        return MATCH_KEPT;
    }
    // A junction or linked folder leads out of the installation: only the link goes.
    if (step == WALK_REMOVE_LINK) return RemoveDirectoryA(path) ? MATCH_GONE : MATCH_KEPT;
    if (step == WALK_DESCEND) return RemoveFolderTree(path) ? MATCH_GONE : MATCH_STOP;
    return OfferFile(path, name);
}

// The end of the walk: the emptied folder itself. A folder that is not there is no error.
static int RemoveEmptiedFolder(const char* folder)
{
    char path[kPathSize];
    CopyText(path, sizeof path, folder);
    DropBackslash(path);
    if (!PathExists(path) || RemoveDirectoryA(path)) return 1;
    return ReportFolderKept(folder);
}

int RemoveFolderTree(const char* folder)
{
    int result = 1;
    int tooLong = 0;
    {
        // An empty folder would make the pattern search the current directory.
        FolderEntries entries(folder);
        if (!entries.Searchable()) return ReportFolderKept(folder);
        while (const WIN32_FIND_DATAA* data = entries.Next()) {
            MatchOutcome outcome = OfferMatch(folder, *data, &tooLong);
            if (outcome == MATCH_STOP) return 0;
            if (outcome == MATCH_KEPT) result = 0;
        }
    }
    // A name too long to handle stays, and so does its folder: no attempt on a cut path.
    if (tooLong) return ReportFolderKept(folder);
    return RemoveEmptiedFolder(folder) && result;
}

// The uninstall entry. Without a Folder value the path would name the whole key.
static void DeleteUninstallEntry()
{
    char key[kPathSize];
    if (!session.folder[0] || !FormatText(key, sizeof key, "%s%s", UNINSTALL_KEY, session.folder))
        return;
    RegKey::DeleteTree(HKEY_LOCAL_MACHINE, key);
}

// Puts folder (with its trailing backslash) into full as the system names it: the full
// path, in its long form where one exists. 0 when it cannot be named within a path.
static int NameInFull(const char* folder, char* full)
{
    DWORD length = GetFullPathNameA(folder, kPathSize, full, NULL);
    if (!length || length >= kPathSize) return 0;
    // Looked up: the systems before Windows 98 and 2000 have no long-name query.
    typedef DWORD(WINAPI * LongNameFn)(LPCSTR, LPSTR, DWORD);
    LongNameFn longName =
        (LongNameFn)(void*)GetProcAddress(GetModuleHandleA("KERNEL32"), "GetLongPathNameA");
    char longForm[kPathSize];
    if (longName) {
        length = longName(full, longForm, kPathSize);
        if (length && length < kPathSize) CopyText(full, kPathSize, longForm);
    }
    return AppendBackslash(full, kPathSize);
}

// 1 when folder (given in full) is the system folder that query gives, compared without
// regard to case as the system gives it and in short form.
static int IsSystemFolder(const char* folder, UINT(WINAPI* query)(LPSTR, UINT))
{
    char system[kPathSize];
    UINT length = query(system, sizeof system);
    if (!length || length >= sizeof system || !AppendBackslash(system, sizeof system)) return 0;
    if (lstrcmpiA(folder, system) == 0) return 1;
    char shortFolder[kPathSize], shortSystem[kPathSize];
    length = GetShortPathNameA(folder, shortFolder, sizeof shortFolder);
    if (!length || length >= sizeof shortFolder) return 0;
    length = GetShortPathNameA(system, shortSystem, sizeof shortSystem);
    if (!length || length >= sizeof shortSystem) return 0;
    return lstrcmpiA(shortFolder, shortSystem) == 0;
}

int FolderToWalk(const char* folder, char* full)
{
    return NameInFull(folder, full) && ShapeOfFolder(full) == FOLDER_BELOW_ROOT &&
           !IsSystemFolder(full, GetWindowsDirectoryA) && !IsSystemFolder(full, GetSystemDirectoryA);
}

int UninstallAll()
{
    InstallSectionHold held;  // every entry is resolved once more
    int result = 1;
    DeleteListedKeys();
    if (!DeleteInstalledFiles(&result)) return 0;
    // A drive root, a share's root and the system's own folders hold more than the
    // installation: only the installed files go there, with no walk and no folder removal.
    char folder[kPathSize];
    if (FolderToWalk(session.destFolder, folder) && !RemoveFolderTree(folder)) result = 0;
    DeleteUninstallEntry();
    RemoveShortcuts(PLACE_PROGRAMS);
    RemoveShortcuts(PLACE_DESKTOP);
    RemoveShortcuts(PLACE_STARTUP);
    return result;
}
