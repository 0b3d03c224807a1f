// The uninstall engine: [Reg] keys, installed files, the installation folder, the
// uninstall entry and the shortcuts.
#pragma once

// The whole uninstallation; 1 when everything went, 0 when something stayed.
int UninstallAll();

// Deletes one file; 1 when it is gone (or was never there), 0 after a message.
int DeleteOneFile(const char* path);

// Everything in folder (with its trailing backslash), asking file by file, then the folder
// itself. 0 when something stayed or the user cancelled.
int RemoveFolderTree(const char* folder);

// 1 when the walk may take the installation folder (given with its trailing backslash);
// full (kPathSize bytes) then names it as the system does: the full path, in long form
// where one exists. 0 for a drive root, the root of a share, the Windows or the system
// directory, a folder that is not absolute once made full, or one that cannot be named.
int FolderToWalk(const char* folder, char* full);
