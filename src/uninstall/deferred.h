// Deletion of the running program file at the next start.
#pragma once
#include <windows.h>

// The delayed move of the system, or a "NUL=" line in WININIT.INI's [Rename] section.
void ScheduleDeleteAtRestart(const char* path);

// Writes bytes from offset on into an open WININIT.INI and ends the file behind them. 1 when
// all was written; a failed seek writes nothing.
int WriteWininitFrom(HFILE file, const char* bytes, unsigned offset, unsigned length);
