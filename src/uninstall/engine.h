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

// What the folder walk does with one entry it finds: a file is offered, a folder walked,
// and a junction or linked folder (a reparse point) removed as a link, never entered.
enum WalkStep { WALK_OFFER_FILE, WALK_DESCEND, WALK_REMOVE_LINK };
WalkStep WalkStepOf(unsigned long attributes);

// 1 for a folder (with its trailing backslash) that holds more than an installation: a
// drive root, the root of a share, the Windows directory or the system directory.
int HoldsMoreThanTheInstallation(const char* folder);
