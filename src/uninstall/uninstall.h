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
