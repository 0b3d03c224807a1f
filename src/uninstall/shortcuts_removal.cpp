// Removal of the shortcuts and program groups that the installation made.
#include "uninstall/shortcuts_removal.h"
#include "common/session.h"
#include "common/shell_folders.h"
#include "files/folders.h"
#include "core/destination.h"
#include "core/text.h"

// Deletes the plain files of the group named after the title below programs (a folder with
// trailing backslash), then the group folder; nothing is asked or reported.
static void RemoveGroupFolder(const char* programs)
{
    // Without a title the "group" would be the programs folder itself.
    char group[kPathSize];
    if (!session.title[0] || !FormatText(group, sizeof group, "%s%s\\", programs, session.title))
        return;
    {
        FolderEntries entries(group);
        if (!entries.Searchable()) return;
        while (const WIN32_FIND_DATAA* data = entries.Next()) {
            char path[kPathSize];
            if (!(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                FormatText(path, sizeof path, "%s%s", group, data->cFileName))
                DeleteFileA(path);
        }
    }
    DropBackslash(group);
    RemoveDirectoryA(group);
}

void RemoveCommonGroup()
{
    char programs[kPathSize];
    if (session.groupCount &&
        ReadShellFolderPath(HKEY_LOCAL_MACHINE, "Common Programs", programs, sizeof programs))
        RemoveGroupFolder(programs);
}

void RemoveShortcuts(ShortcutPlace place)
{
    char folder[kPathSize];
    if (!ReadShellFolder(place, folder, sizeof folder)) return;
    if (place == PLACE_PROGRAMS && session.groupCount) {
        RemoveGroupFolder(folder);
        if (session.osClass >= OS_VISTA) RemoveCommonGroup();
        return;
    }
    char link[kPathSize];
    if (FormatText(link, sizeof link, "%s%s.lnk", folder, session.title)) DeleteFileA(link);
}
