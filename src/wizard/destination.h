// The destination page's work without its dialog: the uninstall item's hint and the
// Next checks.
#pragma once
#include <windows.h>

// The uninstall hint from the [Group] entries (session.hasUninstallItem, uninstallHint).
void ScanUninstallItem();

// Whole megabytes available to the user on the drive of session.destFolder; 0 when the
// drive's root cannot be formed or the query fails.
unsigned GetFreeMegabytes();

// The Next checks of the destination page on session.destFolder, with every message box
// owned by owner. 1: the sheet may go on; 0: the page stays.
int CheckDestination(HWND owner);
