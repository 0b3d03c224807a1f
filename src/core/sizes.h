// The sizes the program's fixed buffers and reads are built around, named once for the
// program, its tests and infcheck.
#pragma once

enum {
    kPathSize = 260,              // paths: at most 259 characters and the terminator
    kNameSize = 50,               // file names of the installer and the setup information file
    kTitleSize = 100,             // [Install] Title and Folder
    kLeafSize = 128,              // last element of the Startup folder
    kWorkFolderSize = 258,        // [Working Folder] value
    kMessageSize = 1024,          // a composed message text
    kProgramPathRead = 258,       // the program's own path asked of SearchPathA (kPathSize field)
    kSystemFolderSize = 258,      // a buffer for the system folder,
    kSystemFolderRead = 256,      // of which this much is asked for
    kWindowsFolderRead = 254,     // the Windows folder asked for into a kPathSize buffer
    kSectionRead9x = 32768,       // the most the 9x profile functions read of a section
    kSectionReadLimit = 16777216  // no read of a whole section asks for more (NT hosts)
};
