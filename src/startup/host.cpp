// The table of host entry points, filled with the real calls.
#include "startup/host.h"

HostHooks host = {
    GetVersion, GetVersionExA, GetDiskFreeSpaceA, NULL, WinExec, MoveFileExA, MessageBoxA,
};

void ResetHostHooks()
{
    host.getVersion = GetVersion;
    host.getVersionEx = GetVersionExA;
    host.getDiskFreeSpace = GetDiskFreeSpaceA;
    host.getDiskFreeSpaceEx = NULL;
    host.winExec = WinExec;
    host.moveFileEx = MoveFileExA;
    host.messageBox = MessageBoxA;
}
