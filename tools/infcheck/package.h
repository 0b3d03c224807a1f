// The package on disk: the setup information files of a folder, their bytes, and the
// source files. The Windows build uses the Win32 file calls; paths are scanned with the
// core's double-byte steps in the system code page, so that a name whose second byte is
// 0x5C (表, 機能) is never cut at it.
#pragma once
#include <map>
#include <string>
#include "inf_text.h"

// The largest file read, 8 MiB: 100,000 entries of 80 bytes, far more than a package needs
// (the 9x family reads 64 KB of a file), and little enough that any file of that size,
// however hostile, is checked in seconds.
enum { kLargestInfFile = 8 * 1024 * 1024 };

enum LoadResult {
    LOAD_READ,
    LOAD_UNREADABLE,   // missing, or no permission to read it
    LOAD_NOT_A_FILE,   // a folder, a device, a pipe or a socket
    LOAD_TOO_LARGE     // a file above kLargestInfFile bytes
};

// The whole file into bytes. Nothing but a regular file of at most kLargestInfFile bytes
// is read; a pipe or device is neither waited for nor read.
LoadResult LoadFile(const std::string& path, std::string* bytes);

// 1 for an existing folder.
int IsFolder(const std::string& path);

// The folder part of path ("." when it has none), without a trailing separator.
std::string FolderOf(const std::string& path);

// The last element of path.
std::string NameOf(const std::string& path);

// folder and name with one separator between them.
std::string Joined(const std::string& folder, const std::string& name);

// The folder that holds a setup information file (its path without a trailing
// separator), for CheckInput.sourceExists. Natively each folder in it is listed once,
// however many names are looked for there.
struct PackageFolder {
    std::string path;
    std::map<std::string, NameIndex<std::string> > listings;  // folder: its names
};

// The name in the package folder that matches name without case, or "" when none does.
std::string FindInPackage(PackageFolder* package, const char* name);

// For CheckInput.sourceExists: context is a PackageFolder; source is in the file's code
// page (codePage).
int SourceInPackage(const char* source, unsigned codePage, void* context);
