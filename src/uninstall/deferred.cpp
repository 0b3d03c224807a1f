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

// WININIT.INI and the two files beside it through which it is replaced.
struct WininitFiles {
    char ini[kPathSize];
    char fresh[kPathSize];  // the new text, complete before it takes the file's place
    char spare[kPathSize];  // a free name for the old file while the new one is moved in
};

// Names of their own for the two files, so that nothing left by anyone else is taken
// for them (the system makes each file; the spare's is deleted again, only its name is
// kept). 0 when the names cannot be had.
static int NameWininitFiles(WininitFiles* files)
{
    char folder[kPathSize];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (!length || length >= sizeof folder || !AppendBackslash(folder, sizeof folder) ||
        !FormatText(files->ini, kPathSize, "%sWININIT.INI", folder) ||
        !GetTempFileNameA(folder, "ini", 0, files->fresh))
        return 0;
    if (!GetTempFileNameA(folder, "ini", 0, files->spare)) {
        DeleteFileA(files->fresh);
        return 0;
    }
    DeleteFileA(files->spare);
    return 1;
}

// The whole of a file into a new block (size + 1 bytes); NULL when it cannot be read. No
// one else may write it while it is read. A file that is not there reads as empty
// (*missing set): on 9x the system processes and renames WININIT.INI at every start, so
// it is normally missing.
static char* ReadWholeFile(const char* path, DWORD* size, int* missing)
{
    *missing = 0;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    if (!file.Valid() && GetLastError() == ERROR_FILE_NOT_FOUND) {
        *missing = 1;
        *size = 0;
        return NewBlock(1);
    }
    if (!file.Valid()) return NULL;
    *size = GetFileSize(file, NULL);
    if (*size == INVALID_FILE_SIZE || *size > kIniLimit) return NULL;
    char* text = NewBlock(*size + 1);
    DWORD got = 0;
    if (text && ReadFile(file, text, *size, &got, NULL) && got == *size) return text;
    if (text) GlobalFree(text);
    return NULL;
}

// 1 when the file at path holds exactly bytes (length of them).
static int StillHolds(const char* path, const char* bytes, DWORD length)
{
    DWORD size = 0;
    int missing = 0;
    GlobalBlock text(ReadWholeFile(path, &size, &missing));
    return text && !missing && size == length && SameBytes(text, bytes, length);
}

// Writes text as the whole of the file at path and flushes it to the disk. 1 when every
// byte arrived; otherwise no file is left there.
static int WriteNewFile(const char* path, const char* text, DWORD length)
{
    int written;
    {
        FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
        DWORD count = 0;
        written = file.Valid() && host.writeFile(file, text, length, &count, NULL) &&
                  count == length && FlushFileBuffers(file);
    }
    if (!written) DeleteFileA(path);
    return written;
}

enum Attempt { ATTEMPT_DONE, ATTEMPT_CHANGED };

// The new file takes the old one's place by renaming only, so that WININIT.INI always
// holds the old text or the whole new one: the new text is written and flushed beside it,
// the old file is renamed to the spare name, the new one into place, and the spare is
// deleted. When another program wrote the file after it was read, its text would be lost:
// the old file is put back and ATTEMPT_CHANGED returned. On any failure the old file
// stays as it was and nothing is scheduled.
static Attempt ReplaceWininit(const WininitFiles& files, const char* old, DWORD oldLength,
                              int missing, const char* text, DWORD length)
{
    if (!WriteNewFile(files.fresh, text, length)) return ATTEMPT_DONE;
    Attempt outcome = ATTEMPT_CHANGED;
    if (missing) {
        // The move never replaces a file: one made meanwhile is read in the next attempt.
        if (MoveFileA(files.fresh, files.ini)) return ATTEMPT_DONE;
    } else if (!MoveFileA(files.ini, files.spare)) {
        outcome = ATTEMPT_DONE;
    } else if (StillHolds(files.spare, old, oldLength) && MoveFileA(files.fresh, files.ini)) {
        DeleteFileA(files.spare);
        return ATTEMPT_DONE;
    } else {
        MoveFileA(files.spare, files.ini);
    }
    DeleteFileA(files.fresh);
    return outcome;
}

// One attempt at adding entry to the [Rename] section.
static Attempt AddRenameEntry(const WininitFiles& files, const char* entry)
{
    // Entries that other programs wrote through the profile functions may still wait in
    // the profile cache (on 9x it is shared and written late): the file is made current
    // before it is read, so that none of them is lost with the old section.
    host.writeProfileString(NULL, NULL, NULL, files.ini);
    DWORD oldLength = 0;
    int missing = 0;
    GlobalBlock old(ReadWholeFile(files.ini, &oldLength, &missing));
    if (!old) return ATTEMPT_DONE;
    GlobalBlock text(NewBlock(oldLength + kRenameRoom));
    if (!text) return ATTEMPT_DONE;
    unsigned length = RewriteRenameSection(old, oldLength, entry, text, oldLength + kRenameRoom);
    if (!length) return ATTEMPT_DONE;
    return ReplaceWininit(files, old, oldLength, missing, text, length);
}

void ScheduleDeleteAtRestart(const char* path)
{
    if (host.moveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    char entry[kPathSize + 4] = "NUL=";
    DWORD length = GetShortPathNameA(path, entry + 4, kPathSize);
    WininitFiles files;
    if (!length || length >= kPathSize || !NameWininitFiles(&files)) return;
    // A file changed by another program meanwhile is read once more.
    for (int attempt = 0; attempt < 2; attempt++)
        if (AddRenameEntry(files, entry) == ATTEMPT_DONE) break;
    DeleteFileA(files.fresh);  // left unwritten when the attempt ended early
}
