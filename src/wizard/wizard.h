// The install wizard: the sheet, its three pages and the About box.
#pragma once
#include <windows.h>

// Runs the property sheet; the outcome is left in session.installDone.
void RunInstallWizard();

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ShortcutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres a window on the screen without resizing or activating it.
void CenterWindow(HWND window);

// One step of the install sequence (session.copyStep).
void RunInstallStep();

// The uninstall hint from the [Group] entries (session.hasUninstallItem, uninstallHint).
void ScanUninstallItem();
