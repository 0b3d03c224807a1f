// Free space of the destination drive and folder creation.
#pragma once

// Whole megabytes available to the user on the drive of session.destFolder; 0 when the
// drive's root cannot be formed or the query fails.
unsigned GetFreeMegabytes();

// One folder level (path ends in a backslash). 1 when it exists or was created; 0 after a
// message owned by session.progressWindow.
int CreateFolderLevel(char* path);

// Every level of a path that begins with a drive root and ends in a backslash.
int CreateFolderPath(char* path);

// The levels of path whose backslash stands at offset start or later, outermost first
// (start at the beginning of a character). 0 after the first level that failed.
int CreateFolderLevelsFrom(char* path, unsigned start);
