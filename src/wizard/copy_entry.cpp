// Copying one resolved entry into the destination, with the overwrite confirmation.
#include "wizard/copy_entry.h"
#include <windows.h>
#include <stddef.h>
#include "files/folders.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/text.h"
#include "common/host.h"
#include "common/messages.h"
#include "common/session.h"
#include "base/holders.h"

// Date and time-stamp line of one file, as the confirmation shows it.
struct FileStamp {
    unsigned date;  // year * 10000 + month * 100 + day, local time
    char line[MAX_PATH + 40];
};

static int ReportCopyFailure(DWORD error)
{
    // A disk that filled up stops the copy after the destination was opened for writing
    // (made anew, or emptied by the overwrite). Wine then leaves the part written, dated
    // as the source, which a later run would take for the whole file: it goes.
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        DeleteFileA(session.entryTarget);
    if (error == ERROR_SHARING_VIOLATION)
        ShowErrorWith(session.progressWindow, T_IN_USE, session.entryTarget);
    else
        ShowErrorWith(session.progressWindow, T_COPY_FAILED, session.entryValue);
    return 0;
}

// Replaces the existing destination. A destination that is in use or cannot be written
// stays old, so that failure is reported instead of passing for success.
static int Overwrite()
{
    if (!CopyFileA(session.entryValue, session.entryTarget, FALSE))
        return ReportCopyFailure(GetLastError());
    SetFileAttributesA(session.entryTarget, FILE_ATTRIBUTE_NORMAL);
    return 1;
}

// The installer and the setup information file are always replaced (an upgrade).
static int IsInstallerFile(const char* path)
{
    return ContainsText(path, "INSTALL.EXE") || ContainsText(path, "install.exe") ||
           ContainsText(path, "INSTALL.INF") || ContainsText(path, "install.inf");
}

// The stamp as the confirmation shows it, in capitals: 1 with date and line filled, 0
// when the file cannot be found (date 0, bare name).
static int ReadStamp(const char* path, FileStamp* stamp)
{
    stamp->date = 0;
    CopyText(stamp->line, sizeof stamp->line, GetLeafName(path));
    int found = 0;
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA(path, &data));
    FILETIME local;
    SYSTEMTIME t;
    if (search.Valid() && FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
        FileTimeToSystemTime(&local, &t)) {
        found = 1;
        stamp->date = t.wYear * 10000u + t.wMonth * 100u + t.wDay;
        // The name is at most MAX_PATH - 1 bytes, so the line always fits its buffer.
        if (session.japanese)
            wsprintfA(stamp->line, Text(T_STAMP_FORMAT), data.cFileName, t.wYear, t.wMonth,
                      t.wDay, t.wHour, t.wMinute, t.wSecond);
        else
            wsprintfA(stamp->line, Text(T_STAMP_FORMAT), data.cFileName, t.wMonth, t.wDay,
                      t.wYear, t.wHour, t.wMinute, t.wSecond);
    }
    UpperAscii(stamp->line);
    return found;
}

// Asks whether the existing destination is replaced; returns non-zero unless an
// accepted overwrite failed.
static int ConfirmOverwrite(const FileStamp& target, const FileStamp& source)
{
    char upperTarget[kPathSize];
    CopyText(upperTarget, sizeof upperTarget, session.entryTarget);
    UpperAscii(upperTarget);
    char text[kMessageSize];
    FormatText(text, sizeof text, "%s%s%s%s%s", upperTarget, Text(T_ALREADY_EXISTS), target.line,
               Text(T_COPY_FROM), source.line);
    int answer = ShowMessage(session.progressWindow, text, Text(T_CONFIRM_CAPTION),
                             MB_ICONQUESTION | MB_YESNO);
    return answer == IDYES ? Overwrite() : 1;
}

// The destination exists: replace it silently, after asking, or not at all.
static int ReplaceExisting()
{
    if (IsInstallerFile(session.entryTarget)) return Overwrite();
    FileStamp target, source;
    int haveTarget = ReadStamp(session.entryTarget, &target);
    int haveSource = ReadStamp(session.entryValue, &source);
    if (haveTarget && haveSource && source.date > target.date) return Overwrite();
    return ConfirmOverwrite(target, source);
}

// A handle that gives the file's identity. Opened for no access at all, which no sharing
// mode refuses (the running program holds its own file).
static HANDLE OpenForIdentity(const char* path)
{
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
}

// 1 when source and target name one file, however they are spelt: another letter case,
// short and long names, a relative and a full path, a linked folder on the way. Both are
// held open while they are compared, since some file systems hand out an index per open
// one; and the index may repeat on others, so everything else the system tells of the
// file must agree too: every field from the last-write time on (volume serial number,
// size, link count and index). Whatever cannot be read, or a file system without an
// index (0:0), is another file.
static int IsSameFile(const char* source, const char* target)
{
    FileHandle a(OpenForIdentity(source));
    FileHandle b(OpenForIdentity(target));
    BY_HANDLE_FILE_INFORMATION x, y;
    if (!a.Valid() || !b.Valid() || !host.getFileInformationByHandle(a, &x) ||
        !host.getFileInformationByHandle(b, &y) || !(x.nFileIndexHigh || x.nFileIndexLow))
        return 0;
    const unsigned from = offsetof(BY_HANDLE_FILE_INFORMATION, ftLastWriteTime);
    return SameBytes(reinterpret_cast<char*>(&x) + from, reinterpret_cast<char*>(&y) + from,
                     sizeof x - from);
}

int CopyEntry()
{
    if (!session.entryTarget[0]) {
        ShowErrorWith(session.progressWindow, T_TARGET_TOO_LONG, session.entryValue);
        return 0;
    }
    if (!CreateFolderLevelsFrom(session.entryTarget, session.entryRelative)) return 0;
    if (CopyFileA(session.entryValue, session.entryTarget, TRUE)) {
        SetFileAttributesA(session.entryTarget, FILE_ATTRIBUTE_NORMAL);
        return 1;
    }
    DWORD error = GetLastError();
    // Installing from the installed folder onto itself: the file is already in place.
    if (IsSameFile(session.entryValue, session.entryTarget)) return 1;
    if (error == ERROR_FILE_EXISTS) return ReplaceExisting();
    return ReportCopyFailure(error);
}
