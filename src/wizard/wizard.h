// The install wizard: the sheet, its three pages and the About box.
#pragma once
#include <windows.h>

// Runs the property sheet; the outcome is left in session.installDone.
void RunInstallWizard();

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ShortcutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the install sequence (session.copyStep).
void RunInstallStep();

// The sheet's caption, "Installation of " and the title. The sheet overwrites its caption
// with the page's own (empty) one when it shows a page under Wine, so every page posts
// itself WM_APP on activation and applies the caption again when that arrives.
void ApplySheetCaption();
void ReapplyCaptionLater(HWND page);

// Keeps the page: the notification's result is -1.
INT_PTR RefuseNotification(HWND page);
