// Shell-link shortcuts in the start menu, on the desktop and in the Startup folder.
#pragma once

enum ShortcutPlace { PLACE_PROGRAMS = 0, PLACE_DESKTOP = 1, PLACE_STARTUP = 2 };

// The place's folder from the user's Shell Folders key, with a backslash appended.
// 0 when the value cannot be read or does not fit.
int ReadShellFolder(ShortcutPlace place, char* folder, unsigned size);

void CreateShortcuts(ShortcutPlace place);
