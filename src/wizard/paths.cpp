// Free space of the destination drive, and folder creation.
#include "wizard/paths.h"
#include <windows.h>
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/text.h"
#include "startup/host.h"
#include "startup/messages.h"
#include "startup/session.h"
#include "base/holders.h"

// Windows 95 before OSR2 (build 1000 and below) has only the old free-space query.
static int HasExtendedQuery()
{
    if (session.osClass != 0) return 1;
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    host.getVersionEx(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
           (version.dwBuildNumber & 0xFFFF) > 1000;
}

static unsigned OldQueryMegabytes(const char* root)
{
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (!host.getDiskFreeSpace(root, &sectors, &bytes, &freeClusters, &clusters)) return 0;
    return (unsigned)((unsigned long long)sectors * bytes * freeClusters / 1048576);
}

static unsigned ExtendedQueryMegabytes(const char* root)
{
    DiskFreeExFn query = host.getDiskFreeSpaceEx;
    char kernel[258];
    ZeroMemory(kernel, sizeof kernel);
    GetSystemDirectoryA(kernel, 256);
    AppendText(kernel, sizeof kernel, "\\KERNEL32.DLL");
    LibraryHandle library(query ? NULL : LoadLibraryA(kernel));
    if (!query && library.Get())
        query = (DiskFreeExFn)(void*)GetProcAddress(library.Get(), "GetDiskFreeSpaceExA");
    if (!query) return 0;
    ULARGE_INTEGER available, total, totalFree;
    if (!query(root, &available, &total, &totalFree)) return 0;
    return (unsigned)(available.QuadPart / 1024 / 1024);
}

unsigned GetFreeMegabytes()
{
    char root[kPathSize];
    DWORD length = GetFullPathNameA(session.destFolder, sizeof root, root, NULL);
    if (length == 0 || length >= sizeof root) return 0;
    if (root[1] != ':' || root[2] != '\\') return 0;
    root[3] = 0;
    return HasExtendedQuery() ? ExtendedQueryMegabytes(root) : OldQueryMegabytes(root);
}

static int CreateNamedFolder(const char* name)
{
    WIN32_FIND_DATAA data;
    {
        FindHandle found(FindFirstFileA(name, &data));
        if (found.Valid()) {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 1;
            ShowErrorWith(session.progressWindow, T_FOLDER_IS_FILE, name);
            return 0;
        }
    }
    if (CreateDirectoryA(name, NULL)) return 1;
    ShowErrorWith(session.progressWindow, T_FOLDER_NOT_CREATED, name);
    return 0;
}

int CreateFolderLevel(char* path)
{
    if (IsDriveRoot(path)) return 1;
    unsigned length = lstrlenA(path);
    if (length == 0) return 0;
    path[length - 1] = 0;
    int result = CreateNamedFolder(path);
    path[length - 1] = '\\';
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
