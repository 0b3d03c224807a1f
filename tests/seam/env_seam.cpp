// Test variant of the program: host facts that a Wine prefix cannot hold, taken from
// environment variables.
//   INSTALL_SEAM_MAJOR=3            GetVersion reports that major version
//   INSTALL_SEAM_FREE_MB=N          the drive has N megabytes available to the user
//   INSTALL_SEAM_WINEXEC_FAIL=1     starting the uninstall copy fails
//   INSTALL_SEAM_MOVEFILEEX_FAIL=1  the delayed move at the next start is refused
#include <windows.h>
#include "common/host.h"

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

// The variable's decimal value, or -1 when it is not set.
static long long EnvNumber(const char* name)
{
    char text[32];
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return -1;
    long long value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; p++) value = value * 10 + (*p - '0');
    return value;
}

void ApplyTestSeam()
{
    if (EnvNumber("INSTALL_SEAM_MAJOR") >= 0) {
        seamMajor = (DWORD)EnvNumber("INSTALL_SEAM_MAJOR") & 0xFF;
        host.getVersion = SeamGetVersion;
    }
    if (EnvNumber("INSTALL_SEAM_FREE_MB") >= 0) {
        seamFreeBytes = (unsigned long long)EnvNumber("INSTALL_SEAM_FREE_MB") * 1048576ULL;
        host.getDiskFreeSpaceEx = SeamDiskFreeEx;
    }
    if (EnvNumber("INSTALL_SEAM_WINEXEC_FAIL") > 0) host.winExec = SeamWinExec;
    if (EnvNumber("INSTALL_SEAM_MOVEFILEEX_FAIL") > 0) host.moveFileEx = SeamMoveFileEx;
}
