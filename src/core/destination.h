// Offers: the rules for the destination folder text, over plain buffers: the shape of a
// full folder path (drive and share roots), what the uninstaller's walk does with an
// entry, the trailing backslash, the shape the Next check demands, and the proposed
// folder. No system calls.
#pragma once

enum FolderShape {
    FOLDER_NOT_ABSOLUTE,  // anything but the two forms below, "\\?\" and "\\.\" among them
    FOLDER_ROOT,          // "X:\" or "\\server\share\"
    FOLDER_BELOW_ROOT     // a folder below one of them
};

// The shape of a folder given in full with its trailing backslash. Every element after
// the drive or the server must be a name: an empty one (two backslashes), "." or ".."
// leaves the folder not absolute, so a text the system has not made full is never taken
// for a folder below a root.
FolderShape ShapeOfFolder(const char* folder);

// 1 for the root of a drive, such as C:\ (a letter, a colon, a backslash, nothing more).
int IsDriveRoot(const char* path);

// The system's values of the file attributes and reparse tags that the walk looks at.
enum : unsigned long {
    kFolderAttribute = 0x10,         // FILE_ATTRIBUTE_DIRECTORY
    kReparseAttribute = 0x400,       // FILE_ATTRIBUTE_REPARSE_POINT
    kMountPointTag = 0xA0000003,     // IO_REPARSE_TAG_MOUNT_POINT: a junction
    kSymbolicLinkTag = 0xA000000C    // IO_REPARSE_TAG_SYMLINK: a folder link
};

// What the uninstaller's walk does with one entry of the installation folder, from its
// attributes and reparse tag as a directory search gives them: a file is offered, a
// folder walked, a junction or folder link removed as a link and never entered, and any
// other reparse folder neither entered nor removed (its folder then stays). The tag
// means something only with the reparse attribute (9x leaves anything there).
enum WalkStep { WALK_OFFER_FILE, WALK_DESCEND, WALK_REMOVE_LINK, WALK_LEAVE };
WalkStep WalkStepOf(unsigned long attributes, unsigned long reparseTag);

// 1 when path ends in a backslash of its own (not the second byte of a character).
int EndsInBackslash(const char* path);

// Makes path end in a backslash of its own. Returns 1, or 0 (path unchanged) when the
// backslash does not fit size or the path ends in half a character (a lead byte alone).
int AppendBackslash(char* path, unsigned size);

// Drops a trailing backslash of path's own, if any.
void DropBackslash(char* path);

enum DestinationShape {
    DEST_ACCEPTED,        // "X:\..." ending in a backslash
    DEST_TOO_LONG,        // no room for the trailing backslash
    DEST_ROOT_DIRECTORY,  // two characters or less
    DEST_NO_DRIVE         // not a drive letter, colon and backslash in front
};

// The destination as the Next check takes it: a backslash appended, then its shape tested.
DestinationShape NormaliseDestination(char* folder, unsigned size);

// The proposed destination: the drive of windowsFolder (letters in capitals), then folder
// and a backslash. 0 when it does not fit out.
int ProposeDestination(const char* windowsFolder, const char* folder, char* out, unsigned size);
