// The uninstaller: its dialog, the engine and the deletion of its own file at the next start.
#pragma once
#include <windows.h>
#include "shell/shortcuts.h"

void RunUninstaller();
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int UninstallAll();
int DeleteOneFile(const char* path);
int RemoveFolderTree(const char* folder);

// What the folder walk does with one entry it finds: a file is offered, a folder walked,
// and a junction or linked folder (a reparse point) removed as a link, never entered.
enum WalkStep { WALK_OFFER_FILE, WALK_DESCEND, WALK_REMOVE_LINK };
WalkStep WalkStepOf(DWORD attributes);

// 1 for a folder (with its trailing backslash) that holds more than an installation: a
// drive root, the root of a share, the Windows directory or the system directory.
int HoldsMoreThanTheInstallation(const char* folder);
void RemoveShortcuts(ShortcutPlace place);
void RemoveCommonGroup();

void ScheduleDeleteAtRestart(const char* path);

// Writes bytes from offset on into an open WININIT.INI and ends the file behind them. 1 when
// all was written; a failed seek writes nothing.
int WriteWininitFrom(HFILE file, const char* bytes, unsigned offset, unsigned length);
