// The destination folder rules and the uninstall item's hint.
#include "core/destination.h"
#include "core/dbcs.h"
#include "core/sizes.h"
#include "core/text.h"

int IsDriveRoot(const char* path)
{
    return path[0] && path[1] == ':' && path[2] == '\\' && path[3] == 0;
}

int EndsInBackslash(const char* path)
{
    unsigned length = TextLength(path);
    return length >= 1 && path[length - 1] == '\\' && !IsTrailByteAt(path, length - 1);
}

int AppendBackslash(char* path, unsigned size)
{
    if (EndsInBackslash(path)) return 1;
    unsigned length = TextLength(path);
    // Behind a lead byte without its second byte the backslash would become that byte.
    if (length && IsLeadByte(path[length - 1]) && !IsTrailByteAt(path, length - 1)) return 0;
    if (length + 2 > size) return 0;
    path[length] = '\\';
    path[length + 1] = 0;
    return 1;
}

void DropBackslash(char* path)
{
    if (EndsInBackslash(path)) path[TextLength(path) - 1] = 0;
}

DestinationShape NormaliseDestination(char* folder, unsigned size)
{
    if (!AppendBackslash(folder, size)) return DEST_TOO_LONG;
    if (TextLength(folder) <= 2) return DEST_ROOT_DIRECTORY;
    if (folder[1] != ':' || folder[2] != '\\') return DEST_NO_DRIVE;
    return DEST_ACCEPTED;
}

int ProposeDestination(const char* windowsFolder, const char* folder, char* out, unsigned size)
{
    char drive[kPathSize];
    CopyText(drive, sizeof drive, windowsFolder);
    UpperAscii(drive);
    drive[3] = 0;
    return FormatText(out, size, "%s%s\\", drive, folder);
}

void ComposeUninstallHint(const char* format, const char* name, char* out, unsigned size)
{
    unsigned fixed = TextLength(format) - 2;  // without "%s"
    char shortened[kPathSize];
    CopyText(shortened, size > fixed && size - fixed < sizeof shortened ? size - fixed : sizeof shortened,
             name);
    FormatText(out, size, format, shortened);
}
