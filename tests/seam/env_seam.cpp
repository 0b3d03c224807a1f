// Test variant of the program: host facts that a Wine prefix cannot hold, taken from
// environment variables.
//   INSTALL_SEAM_MAJOR=3          GetVersion reports that major version
//   INSTALL_SEAM_FREE_MB=N        the drive has N megabytes available to the user
//   INSTALL_SEAM_WINEXEC_FAIL=1   starting the uninstall copy fails
//   INSTALL_SEAM_MOVEFILEEX_FAIL=1  the delayed move at the next start is refused
#include <windows.h>
#include <stdlib.h>
#include "startup/host.h"

static DWORD seamMajor;
static unsigned long long seamFreeBytes;

static DWORD WINAPI SeamGetVersion()
{
    return (GetVersion() & ~0xFFu) | seamMajor;
}

static BOOL WINAPI SeamDiskFreeEx(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total,
                                  PULARGE_INTEGER totalFree)
{
    if (available) available->QuadPart = seamFreeBytes;
    if (total) total->QuadPart = seamFreeBytes * 2;
    if (totalFree) totalFree->QuadPart = seamFreeBytes;
    return TRUE;
}

static UINT WINAPI SeamWinExec(LPCSTR, UINT)
{
    return ERROR_FILE_NOT_FOUND;
}

static BOOL WINAPI SeamMoveFileEx(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

static const char* Env(const char* name)
{
    const char* value = getenv(name);
    return value && *value ? value : NULL;
}

void ApplyTestSeam()
{
    if (const char* major = Env("INSTALL_SEAM_MAJOR")) {
        seamMajor = (DWORD)atoi(major) & 0xFF;
        host.getVersion = SeamGetVersion;
    }
    if (const char* mb = Env("INSTALL_SEAM_FREE_MB")) {
        seamFreeBytes = _strtoui64(mb, NULL, 10) * 1048576ULL;
        host.getDiskFreeSpaceEx = SeamDiskFreeEx;
    }
    if (Env("INSTALL_SEAM_WINEXEC_FAIL")) host.winExec = SeamWinExec;
    if (Env("INSTALL_SEAM_MOVEFILEEX_FAIL")) host.moveFileEx = SeamMoveFileEx;
}
