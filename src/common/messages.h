// Message boxes: every box of the program goes through here.
#pragma once
#include <windows.h>
#include "common/texts.h"

// Shows text with a caption and style; returns the button pressed.
int ShowMessage(HWND owner, const char* text, const char* caption, UINT style);

// An error box: OK button, error icon, caption "Error" in the run's language.
void ShowError(HWND owner, const char* text);

// The text id's format filled with one argument (a path, a name or the title), as an error box.
void ShowErrorWith(HWND owner, TextId id, const char* argument);
