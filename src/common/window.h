// Window helpers shared by the wizard and the uninstall dialog: centring, and the choice
// of a dialog template by the run's language.
#pragma once
#include <windows.h>

// The template of a dialog in the run's language: a Japanese template has the English
// one's number plus 1.
LPCSTR TemplateFor(int id);

// The About box's template in the run's language, which has a name instead of a number.
LPCSTR AboutTemplate();

// Centres a window on the screen without resizing or activating it.
void CenterWindow(HWND window);
