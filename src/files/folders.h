// Folder creation, level by level, the existence test of a path, and the entries of a
// folder one by one.
#pragma once
#include <windows.h>
#include "base/holders.h"

// 1 when a file or folder of that name (or matching that pattern) exists; a directory
// search, so that it answers alike on every host, wildcards included.
int PathExists(const char* path);

// Whether path names nothing, a file or a folder (the same search).
enum PathKind { PATH_NONE, PATH_FILE, PATH_FOLDER };
PathKind KindOfPath(const char* path);

// One folder level (path ends in a backslash of its own, else 0 at once). 1 when it
// exists or was created; 0 after a message owned by session.progressWindow.
int CreateFolderLevel(char* path);

// Every level of a path that begins with a drive root and ends in a backslash.
int CreateFolderPath(char* path);

// The levels of path whose backslash stands at offset start or later, outermost first
// (start at the beginning of a character). 0 after the first level that failed.
int CreateFolderLevelsFrom(char* path, unsigned start);

// The entries of one folder (named with its trailing backslash), "." and ".." left out,
// in the order the directory search gives them:
//   FolderEntries entries(folder);
//   if (!entries.Searchable()) ...  // no backslash at the end, or too long to search
//   while (const WIN32_FIND_DATAA* data = entries.Next()) ...
class FolderEntries {
public:
    explicit FolderEntries(const char* folder);
    int Searchable() const { return searchable_; }
    // The next entry; NULL after the last one, or when the folder is empty or missing.
    const WIN32_FIND_DATAA* Next();
private:
    WIN32_FIND_DATAA data_;
    int searchable_;
    FindHandle find_;
    int started_;
};
