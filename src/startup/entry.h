// The run from start to end: the command line, the setup files and the three modes.
#pragma once
#include <windows.h>

enum RunMode { MODE_INSTALL, MODE_UNINSTALL_REQUEST, MODE_UNINSTALL_RUN };

// The command tail as WinMain receives it, read once: returns the tail after its one
// optional leading "/" (what the rest of the run reads) and sets *mode. Only that one
// "/" is stepped over, so "//r" and "//x ..." select install mode.
const char* ReadCommandTail(const char* tail, RunMode* mode);

// Source folder, installer name and setup information file from the tail (after the
// optional "/") and session.installerPath, with the language fallback. Sets *fallback.
// 0 after a message when the path has no folder or a name that does not fit.
int LocateSetupFiles(const char* tail, int* fallback);

// The whole run of WinMain; returns the exit code (always 1).
int RunProgram(HINSTANCE instance, const char* tail);
