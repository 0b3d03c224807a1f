// Folder creation, level by level, and the existence test of a path.
#include "files/folders.h"
#include <windows.h>
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/text.h"
#include "common/messages.h"
#include "common/session.h"
#include "base/holders.h"

PathKind KindOfPath(const char* path)
{
    WIN32_FIND_DATAA data;
    FindHandle found(FindFirstFileA(path, &data));
    if (!found.Valid()) return PATH_NONE;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PATH_FOLDER : PATH_FILE;
}

int PathExists(const char* path)
{
    return KindOfPath(path) != PATH_NONE;
}

static int CreateNamedFolder(const char* name)
{
    PathKind kind = KindOfPath(name);
    if (kind == PATH_FOLDER) return 1;
    if (kind == PATH_FILE) {
        ShowErrorWith(session.progressWindow, T_FOLDER_IS_FILE, name);
        return 0;
    }
    if (CreateDirectoryA(name, NULL)) return 1;
    ShowErrorWith(session.progressWindow, T_FOLDER_NOT_CREATED, name);
    return 0;
}

int CreateFolderLevel(char* path)
{
    if (IsDriveRoot(path)) return 1;
    if (!EndsInBackslash(path)) return 0;
    // The level is named without its backslash, which goes back in its place after.
    DropBackslash(path);
    int result = CreateNamedFolder(path);
    path[lstrlenA(path)] = '\\';
    return result;
}

int CreateFolderPath(char* path)
{
    if (lstrlenA(path) < 3) return 0;
    return CreateFolderLevelsFrom(path, 3);
}

int CreateFolderLevelsFrom(char* path, unsigned start)
{
    for (char* slash = FindCharDbcs(path + start, '\\'); slash; slash = FindCharDbcs(slash + 1, '\\')) {
        char kept = slash[1];
        slash[1] = 0;
        int result = CreateFolderLevel(path);
        slash[1] = kept;
        if (!result) return 0;
    }
    return 1;
}

// The first entry of folder's search into data; *searchable 0 when no search is made.
static HANDLE FindFirstIn(const char* folder, WIN32_FIND_DATAA* data, int* searchable)
{
    // Without its backslash the pattern would search another folder, or the current one.
    char pattern[kPathSize];
    *searchable = EndsInBackslash(folder) && FormatText(pattern, sizeof pattern, "%s*.*", folder);
    return *searchable ? FindFirstFileA(pattern, data) : INVALID_HANDLE_VALUE;
}

FolderEntries::FolderEntries(const char* folder)
    : searchable_(0), find_(FindFirstIn(folder, &data_, &searchable_)), started_(0)
{
}

const WIN32_FIND_DATAA* FolderEntries::Next()
{
    while (find_.Valid()) {
        if (started_ && !FindNextFileA(find_, &data_)) return NULL;
        started_ = 1;
        const char* name = data_.cFileName;
        if (name[0] != '.' || (name[1] && (name[1] != '.' || name[2]))) return &data_;
    }
    return NULL;
}
