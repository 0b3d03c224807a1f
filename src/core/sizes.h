// The sizes the program's fixed buffers are built around; shared by the core and the shell.
#pragma once

enum {
    kPathSize = 260,        // paths: at most 259 characters and the terminator
    kNameSize = 50,         // file names of the installer and the setup information file
    kTitleSize = 100,       // [Install] Title and Folder
    kLeafSize = 128,        // last element of the Startup folder
    kWorkFolderSize = 258,  // [Working Folder] value
    kMessageSize = 1024     // a composed message text
};
