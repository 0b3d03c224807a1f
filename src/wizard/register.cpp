// The uninstall entry under the system's Uninstall key.
#include "wizard/register.h"
#include <windows.h>
#include "common/host.h"
#include "common/session.h"
#include "common/keys.h"
#include "base/registry.h"
#include "core/text.h"

// 1 when the value was written.
static int SetText(HKEY key, const char* name, const char* value)
{
    return host.regSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              lstrlenA(value) + 1) == ERROR_SUCCESS;
}

// Failures are silent: the installation completes without the entry. A command line
// that does not fit is never written cut, so no entry is made at all then. The entry
// counts only with both values: without its command the system's list cannot uninstall.
int RegisterUninstall()
{
    char keyPath[kPathSize];
    char command[kPathSize];
    if (!FormatText(keyPath, sizeof keyPath, "%s%s", UNINSTALL_KEY, session.folder))
        return 0;
    if (!FormatText(command, sizeof command, "\"%s%s\" /r", session.destFolder,
                    session.installerName))
        return 0;
    RegKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, keyPath, KEY_WRITE) != ERROR_SUCCESS) return 0;
    return SetText(key, "DisplayName", session.title) && SetText(key, "UninstallString", command);
}
