// Host probes: UI language, host version, kind of system, name of the Startup folder.
#include "common/probes.h"
#include "common/host.h"
#include "common/session.h"
#include "common/keys.h"
#include "common/shell_folders.h"
#include "base/registry.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/text.h"

void DetectLanguage()
{
    session.japanese = GetACP() == 932 ? 1 : 0;
}

int HostVersionIs4OrLater()
{
    return (host.getVersion() & 0xFF) >= 4 ? 1 : 0;
}

int OsClassOfVersion(const char* v)
{
    if (ContainsText(v, "4.0")) return OS_NT4;
    if (ContainsText(v, "5.0")) return OS_WIN2000;
    if (ContainsText(v, "5.1") || ContainsText(v, "5.2")) return OS_XP;
    if (ContainsText(v, "6.0")) return OS_VISTA;
    if (ContainsText(v, "6.1")) return OS_WIN7;
    return OS_LATER_NT;
}

int OsClassOfProduct(const char* name)
{
    if (ContainsText(name, "Windows ME")) return OS_WINME;
    if (ContainsText(name, "Windows 98")) return OS_WIN98;
    return OS_WIN95;
}

// Reads a text value into a kRegTextSize buffer: 1 when read, 0 when the value cannot be
// read (text empty), -1 when the key cannot be opened.
static int ReadKeyText(HKEY root, const char* path, const char* name, char* text)
{
    ZeroMemory(text, kRegTextSize);
    RegKey key;
    if (key.Open(root, path, KEY_ALL_ACCESS) != ERROR_SUCCESS) return -1;
    return key.ReadText(name, text, kRegTextSize) == ERROR_SUCCESS ? 1 : 0;
}

void ClassifyOs()
{
    char text[kRegTextSize];
    if (ReadKeyText(HKEY_LOCAL_MACHINE, NT_VERSION_KEY, "CurrentVersion", text) == 1) {
        session.osClass = OsClassOfVersion(text);
        return;
    }
    if (ReadKeyText(HKEY_LOCAL_MACHINE, WINDOWS_VERSION_KEY, "ProductName", text) < 0)
        return;
    session.osClass = OsClassOfProduct(text);
}

int ReadStartupLeaf()
{
    ZeroMemory(session.startupLeaf, sizeof session.startupLeaf);
    char text[kRegTextSize];
    if (ReadShellFolderValue(HKEY_CURRENT_USER, "Startup", text, sizeof text) < 0) return 0;
    const char* slash = FindLastCharDbcs(text, '\\');
    if (!slash || !slash[1]) return 0;
    // A leaf that does not fit is left empty rather than cut, so that the Title
    // comparison never runs against half a name; it cannot equal a Title anyway.
    if (!CopyText(session.startupLeaf, sizeof session.startupLeaf, slash + 1))
        ZeroMemory(session.startupLeaf, sizeof session.startupLeaf);
    return 1;
}
