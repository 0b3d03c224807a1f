// The uninstall dialog and its launcher.
#pragma once
#include <windows.h>

// Shows the uninstall dialog, which runs the engine; then schedules the running copy for
// deletion and, after a complete success, closes the add/remove list.
void RunUninstaller();
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
