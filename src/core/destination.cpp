// The destination folder rules and the uninstall item's hint.
#include "core/destination.h"
#include "core/dbcs.h"
#include "core/sizes.h"
#include "core/text.h"

// The number of elements of path, each a name followed by a backslash; -1 when path does
// not end in a backslash or an element is empty, "." or "..".
static int CountNames(const char* path)
{
    int names = 0;
    for (; *path; names++) {
        const char* end = FindCharDbcs(path, '\\');
        if (!end || end == path) return -1;
        if (path[0] == '.' && (end == path + 1 || (path[1] == '.' && end == path + 2))) return -1;
        path = end + 1;
    }
    return names;
}

FolderShape ShapeOfFolder(const char* folder)
{
    int names = -1, rootNames = 0;
    char drive = (char)(folder[0] | 0x20);
    if (drive >= 'a' && drive <= 'z' && folder[1] == ':' && folder[2] == '\\') {
        names = CountNames(folder + 3);
    } else if (folder[0] == '\\' && folder[1] == '\\' && folder[2] != '?' && folder[2] != '.') {
        names = CountNames(folder + 2);  // the server and the share, then the folders below
        rootNames = 2;
    }
    if (names < rootNames) return FOLDER_NOT_ABSOLUTE;
    return names == rootNames ? FOLDER_ROOT : FOLDER_BELOW_ROOT;
}

int IsDriveRoot(const char* path)
{
    return path[0] != '\\' && ShapeOfFolder(path) == FOLDER_ROOT;
}

WalkStep WalkStepOf(unsigned long attributes, unsigned long reparseTag)
{
    if (!(attributes & kFolderAttribute)) return WALK_OFFER_FILE;
    if (!(attributes & kReparseAttribute)) return WALK_DESCEND;
    // Other reparse folders (a cloud placeholder, a deduplicated folder) are no links:
    // removing one may take its contents along.
    if (reparseTag == kMountPointTag || reparseTag == kSymbolicLinkTag) return WALK_REMOVE_LINK;
    return WALK_LEAVE;
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

