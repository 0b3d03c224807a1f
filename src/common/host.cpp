// The table of host entry points, filled with the real calls.
#include "common/host.h"
#include "base/holders.h"
#include "core/dbcs.h"
#include "core/sizes.h"
#include "core/text.h"

// The system's own lead-byte test for the run's code page.
static int SystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) ? 1 : 0;
}

// GetDiskFreeSpaceExA of the system's kernel library, looked up when it is needed: the
// first Windows 95 systems lack it, and the program must start there. FALSE without it.
static BOOL WINAPI KernelDiskFreeSpaceEx(LPCSTR root, PULARGE_INTEGER available,
                                         PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    char kernel[kSystemFolderSize];
    ZeroMemory(kernel, sizeof kernel);
    GetSystemDirectoryA(kernel, kSystemFolderRead);
    AppendText(kernel, sizeof kernel, "\\KERNEL32.DLL");
    LibraryHandle library(LoadLibraryA(kernel));
    DiskFreeExFn query =
        library ? (DiskFreeExFn)(void*)GetProcAddress(library, "GetDiskFreeSpaceExA") : NULL;
    return query && query(root, available, total, totalFree);
}

// Filled by ResetHostHooks at start: the addresses of imported calls are known only
// once the program is loaded.
HostHooks host;

void ResetHostHooks()
{
    host.getVersion = GetVersion;
    host.getVersionEx = GetVersionExA;
    host.getDiskFreeSpace = GetDiskFreeSpaceA;
    host.getDiskFreeSpaceEx = KernelDiskFreeSpaceEx;
    host.winExec = WinExec;
    host.moveFileEx = MoveFileExA;
    host.writeProfileString = WritePrivateProfileStringA;
    host.writeFile = WriteFile;
    host.getFileInformationByHandle = GetFileInformationByHandle;
    host.regSetValueEx = RegSetValueExA;
    host.messageBox = MessageBoxA;
    UseLeadByteTest(SystemLeadByte);
}
