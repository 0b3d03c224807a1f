// Window helpers shared by the wizard and the uninstall dialog.
#pragma once
#include <windows.h>

// Centres a window on the screen without resizing or activating it.
void CenterWindow(HWND window);
