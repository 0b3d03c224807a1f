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

// The Next checks of the destination page on session.destFolder, with every message box
// owned by owner. 1: the sheet may go on; 0: the page stays.
int CheckDestination(HWND owner);

// The sheet's caption, "Installation of " and the title. The sheet overwrites its caption
// with the page's own (empty) one when it shows a page on some hosts, so every page posts
// itself WM_APP on activation and applies the caption again when that arrives.
void ApplySheetCaption();
void ReapplyCaptionLater(HWND page);

// Keeps the page: the notification's result is -1.
INT_PTR RefuseNotification(HWND page);
