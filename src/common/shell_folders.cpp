// The one read of the "Shell Folders" key.
#include "common/shell_folders.h"
#include "common/keys.h"
#include "base/registry.h"
#include "core/destination.h"
#include "core/sizes.h"
#include "core/text.h"

int ReadShellFolderValue(HKEY root, const char* name, char* text, unsigned size)
{
    ZeroMemory(text, size);
    RegKey key;
    if (key.Open(root, SHELL_FOLDERS_KEY, KEY_READ) != ERROR_SUCCESS) return -1;
    return key.ReadText(name, text, size) == ERROR_SUCCESS ? 1 : 0;
}

int ReadShellFolderPath(HKEY root, const char* name, char* folder, unsigned size)
{
    if (size < 2 || size > kPathSize) return 0;
    folder[0] = 0;
    char text[kPathSize + 1];  // a value of up to size - 1 bytes, and its terminator
    if (ReadShellFolderValue(root, name, text, size + 1) != 1) return 0;
    CopyText(folder, size, text);
    if (folder[0] && AppendBackslash(folder, size)) return 1;
    folder[0] = 0;
    return 0;
}
