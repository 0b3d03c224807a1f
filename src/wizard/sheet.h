// The install wizard's property sheet, its caption, and the helper with which a page keeps
// the sheet where it is.
#pragma once
#include <windows.h>

// The pages of the sheet, in their order.
enum { kDestinationPage = 0, kShortcutPage = 1, kCopyPage = 2, kPageCount = 3 };

// Runs the property sheet; the outcome is left in session.installDone.
void RunInstallWizard();

// The sheet's caption, "Installation of " and the title. The sheet overwrites its caption
// with the page's own (empty) one when it shows a page under Wine, so every page posts
// itself WM_APP on activation and applies the caption again when that arrives.
void ApplySheetCaption();
void ReapplyCaptionLater(HWND page);

// Keeps the page: the notification's result is -1.
INT_PTR RefuseNotification(HWND page);
