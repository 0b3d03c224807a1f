// Deletion of the running program file at the next start: the delayed move of the system,
// or a "NUL=" line in the [Rename] section of WININIT.INI.
#include "uninstall/deferred.h"
#include "common/host.h"
#include "common/session.h"
#include "base/holders.h"
#include "core/destination.h"
#include "core/text.h"
#include "core/wininit.h"

enum { kIniLimit = 0x1000000 };  // a larger WININIT.INI is not taken on

// The whole of WININIT.INI into a new block (size + 1 bytes); NULL when it cannot be read.
// A file that is not there reads as empty (*missing set): on 9x the system processes and
// renames it at every start, so it is normally missing.
static char* ReadWininit(const char* ini, DWORD* size, int* missing)
{
    *missing = 0;
    FileHandle file(CreateFileA(ini, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL));
    if (!file.Valid() && GetLastError() == ERROR_FILE_NOT_FOUND) {
        *missing = 1;
        *size = 0;
        return static_cast<char*>(GlobalAlloc(GMEM_FIXED, 1));
    }
    if (!file.Valid()) return NULL;
    *size = GetFileSize(file, NULL);
    if (*size == INVALID_FILE_SIZE || *size > kIniLimit) return NULL;
    char* text = static_cast<char*>(GlobalAlloc(GMEM_FIXED, *size + 1));
    DWORD got = 0;
    if (text && ReadFile(file, text, *size, &got, NULL) && got == *size) return text;
    if (text) GlobalFree(text);
    return NULL;
}

int WriteWininitFrom(HFILE file, const char* bytes, unsigned offset, unsigned length)
{
    // A failed seek writes nothing: the bytes would land on the file's first ones.
    if (_llseek(file, (LONG)offset, FILE_BEGIN) != (LONG)offset) return 0;
    UINT rest = length - offset;
    if (rest && _lwrite(file, bytes + offset, rest) != rest) return 0;
    return _lwrite(file, bytes, 0) == 0;
}

// Replaces the file's bytes old with new, writing only from the first byte that differs
// (all of a file without [Rename] stays in place). When the write fails the old bytes are
// put back.
static void ReplaceWininit(const char* ini, const char* old, unsigned oldLength,
                           const char* text, unsigned length)
{
    unsigned same = 0;
    while (same < oldLength && same < length && old[same] == text[same]) same++;
    OFSTRUCT info;
    OldFile file(OpenFile(ini, &info, OF_READWRITE));
    if (!file.Valid()) return;
    if (!WriteWininitFrom(file, text, same, length)) WriteWininitFrom(file, old, same, oldLength);
}

// A WININIT.INI made anew holds only the section. Never over a file made meanwhile.
static void CreateWininit(const char* ini, const char* text, unsigned length)
{
    FileHandle file(CreateFileA(ini, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                NULL));
    DWORD written = 0;
    if (file.Valid()) WriteFile(file, text, length, &written, NULL);
}

void ScheduleDeleteAtRestart(const char* path)
{
    if (host.moveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    char ini[kPathSize];
    char entry[kPathSize + 4] = "NUL=";
    UINT length = GetWindowsDirectoryA(ini, sizeof ini);
    if (!length || length >= sizeof ini || !AppendBackslash(ini, sizeof ini) ||
        !AppendText(ini, sizeof ini, "WININIT.INI"))
        return;
    length = GetShortPathNameA(path, entry + 4, kPathSize);
    if (!length || length >= kPathSize) return;

    // Entries that other programs wrote through the profile functions may still wait in
    // the profile cache (on 9x it is shared and written late): the file is made current
    // before it is read, so that none of them is lost with the old section.
    host.writeProfileString(NULL, NULL, NULL, ini);
    DWORD oldLength = 0;
    int missing = 0;
    GlobalBlock old(ReadWininit(ini, &oldLength, &missing));
    if (!old) return;
    GlobalBlock text(oldLength + kRenameRoom);
    if (!text) return;
    unsigned newLength =
        RewriteRenameSection(old, oldLength, entry, text, oldLength + kRenameRoom);
    if (!newLength) return;
    if (missing)
        CreateWininit(ini, text, newLength);
    else
        ReplaceWininit(ini, old, oldLength, text, newLength);
}
