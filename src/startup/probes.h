// Probes of the host: language, version, kind of system and the Startup folder's name.
#pragma once

void DetectLanguage();
int HostIsWin32();              // major version 4 or more
void ClassifyOs();
int OsClassOfVersion(const char* currentVersion);   // NT CurrentVersion text: 3..8
int OsClassOfProduct(const char* productName);      // Windows ProductName text: 0..2
void ReadStartupLeaf();

#define SHELL_FOLDERS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
