// Deletion of the running program file at the next start.
#pragma once
#include <windows.h>

// The delayed move of the system, or a "NUL=" line in WININIT.INI's [Rename] section.
void ScheduleDeleteAtRestart(const char* path);
