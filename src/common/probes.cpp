// Host probes: UI language, host version, kind of system, name of the Startup folder.
#include "common/probes.h"
#include "common/host.h"
#include "common/session.h"
#include "base/holders.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/text.h"

void DetectLanguage()
{
    session.japanese = GetACP() == 932 ? 1 : 0;
}

int HostIsWin32()
{
    return (host.getVersion() & 0xFF) >= 4 ? 1 : 0;
}

int OsClassOfVersion(const char* v)
{
    if (ContainsText(v, "4.0")) return 3;
    if (ContainsText(v, "5.0")) return 4;
    if (ContainsText(v, "5.1") || ContainsText(v, "5.2")) return 5;
    if (ContainsText(v, "6.0")) return 6;
    if (ContainsText(v, "6.1")) return 7;
    return 8;
}

int OsClassOfProduct(const char* name)
{
    if (ContainsText(name, "Windows ME")) return 2;
    if (ContainsText(name, "Windows 98")) return 1;
    return 0;
}

// Reads a text value into a 258-byte buffer with a stated size of 256; 1 when read.
static int ReadKeyText(HKEY root, const char* path, const char* name, char* text)
{
    ZeroMemory(text, 258);
    RegKey key;
    if (key.Open(root, path, KEY_ALL_ACCESS) != ERROR_SUCCESS) return -1;
    DWORD size = 256;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key.Get(), name, NULL, &type, (BYTE*)text, &size);
    if (result != ERROR_SUCCESS) {
        ZeroMemory(text, 258);
        return 0;
    }
    return 1;
}

void ClassifyOs()
{
    char text[258];
    if (ReadKeyText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                    "CurrentVersion", text) == 1) {
        session.osClass = OsClassOfVersion(text);
        return;
    }
    if (ReadKeyText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                    "ProductName", text) < 0)
        return;
    session.osClass = OsClassOfProduct(text);
}

int ReadStartupLeaf()
{
    ZeroMemory(session.startupLeaf, sizeof session.startupLeaf);
    char text[258];
    if (ReadKeyText(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Startup", text) < 0) return 0;
    const char* slash = FindLastCharDbcs(text, '\\');
    if (!slash || !slash[1]) return 0;
    // A leaf that does not fit is left empty rather than cut, so that the Title
    // comparison never runs against half a name; it cannot equal a Title anyway.
    if (!CopyText(session.startupLeaf, sizeof session.startupLeaf, slash + 1))
        ZeroMemory(session.startupLeaf, sizeof session.startupLeaf);
    return 1;
}
