// Probes of the host: language, version, kind of system and the Startup folder's name.
#pragma once

void DetectLanguage();
int HostVersionIs4OrLater();    // Windows 95 and NT 4.0 on; the program refuses others
void ClassifyOs();                                  // session.osClass, an OsClass
int OsClassOfVersion(const char* currentVersion);   // NT CurrentVersion text: 3..8
int OsClassOfProduct(const char* productName);      // Windows ProductName text: 0..2
// The last element of the user's Startup folder into session.startupLeaf. 0 when the
// folder cannot be read; 1 otherwise. A leaf too long for the field (no Title can be that
// long) is left empty with 1.
int ReadStartupLeaf();
