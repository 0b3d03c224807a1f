// The table of host entry points, filled with the real calls.
#include "common/host.h"
#include "core/dbcs.h"

// The system's own lead-byte test for the run's code page.
static int SystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) ? 1 : 0;
}

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
    host.writeFile = WriteFile;
    host.getFileInformationByHandle = GetFileInformationByHandle;
    host.regSetValueEx = RegSetValueExA;
    host.messageBox = MessageBoxA;
    UseLeadByteTest(SystemLeadByte);
}
