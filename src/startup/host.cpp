// The table of host entry points, filled with the real calls.
#include "startup/host.h"

// Filled by ResetHostHooks at start: the addresses of imported calls are known only
// once the program is loaded.
HostHooks host;

void ResetHostHooks()
{
    host.getVersion = GetVersion;
    host.getVersionEx = GetVersionExA;
    host.getDiskFreeSpace = GetDiskFreeSpaceA;
    host.getDiskFreeSpaceEx = NULL;
    host.winExec = WinExec;
    host.moveFileEx = MoveFileExA;
    host.writeProfileString = WritePrivateProfileStringA;
    host.messageBox = MessageBoxA;
}
