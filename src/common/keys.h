// The registry key paths the program reads and writes, written once for the code and
// the tests.
#pragma once

// Below HKEY_LOCAL_MACHINE: one sub-key per installed program (ends in a backslash).
#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
// Below HKEY_CURRENT_USER (the user's folders) and HKEY_LOCAL_MACHINE (the common ones).
#define SHELL_FOLDERS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
// Below HKEY_LOCAL_MACHINE: the version texts of the two families.
#define NT_VERSION_KEY "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
#define WINDOWS_VERSION_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"
