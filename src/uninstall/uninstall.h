// The uninstaller: its dialog, the engine and the deletion of its own file at the next start.
#pragma once
#include <windows.h>
#include "shell/shortcuts.h"

void RunUninstaller();
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int UninstallAll();
void DeleteRegistryTree(HKEY parent, const char* subKey);
int DeleteOneFile(const char* path);
int RemoveFolderTree(const char* folder);
void RemoveShortcuts(ShortcutPlace place);
void RemoveCommonGroup();

void ScheduleDeleteAtRestart(const char* path);

// Writes text at the end of an open WININIT.INI, in place of a final end mark 0x1A and on
// a line of its own. 1 when all was written; a failed seek writes nothing.
int WriteSectionAtEnd(HFILE file, const char* text, unsigned length);
