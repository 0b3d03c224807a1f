// The package on disk: the setup information files of a folder and the source files.
#pragma once
#include <string>
#include <vector>

// The whole file into bytes; 0 when it cannot be read.
int LoadFile(const std::string& path, std::string* bytes);

// 1 for an existing folder.
int IsFolder(const std::string& path);

// The folder part of path ("." when it has none), without a trailing separator.
std::string FolderOf(const std::string& path);

// The name in folder that matches name without case, or "" when there is none.
std::string FindInFolder(const std::string& folder, const char* name);

// For CheckInput.sourceExists: context is the package folder (a std::string).
int SourceInPackage(const char* source, unsigned codePage, void* context);
