// The one read of the "Shell Folders" key: the user's folders below HKEY_CURRENT_USER,
// the common ones below HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>

// Value name of root's Shell Folders key, as written, into text of size bytes (at least
// 2): a value of up to size - 2 bytes is read (RegKey::ReadText). 1 when read; 0 when the
// value cannot be read (text empty); -1 when the key cannot be opened.
int ReadShellFolderValue(HKEY root, const char* name, char* text, unsigned size);

// The same value as a folder with a backslash appended, into folder of size bytes (2 to
// kPathSize). 1 when read; 0 when the value cannot be read, is empty or does not fit with
// its backslash (folder is then empty).
int ReadShellFolderPath(HKEY root, const char* name, char* folder, unsigned size);
