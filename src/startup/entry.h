// The run from start to end: the command line, the setup files and the three modes.
#pragma once
#include <windows.h>

enum RunMode { MODE_INSTALL, MODE_UNINSTALL_REQUEST, MODE_UNINSTALL_RUN };

// Mode of a command tail (one leading "/" stepped over).
RunMode ModeOfTail(const char* tail);

// Source folder, installer name and setup information file from the tail (after the
// optional "/") and session.installerPath, with the language fallback. Sets *fallback.
// 0 after a message when the path has no folder or a name that does not fit.
int LocateSetupFiles(const char* tail, int* fallback);

// Confirms, copies the program into the system directory and starts it with "x".
void RequestUninstall();

// The whole run of WinMain; returns the exit code (always 1).
int RunProgram(HINSTANCE instance, const char* tail);
