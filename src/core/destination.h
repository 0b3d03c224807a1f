// Offers: the rules for the destination folder text, over plain buffers: drive roots and
// the shape of a full folder path, the trailing backslash, the shape the Next check
// demands, and the proposed folder. No system calls.
#pragma once

// 1 for the root of a drive, such as C:\ (a letter, a colon, a backslash, nothing more).
int IsDriveRoot(const char* path);

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
