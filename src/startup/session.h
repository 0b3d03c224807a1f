// The one process-wide record of a run: every path, choice and window handle lives here.
#pragma once
#include <windows.h>

enum {
    kPathSize = 260,        // paths: at most 259 characters and the terminator
    kNameSize = 50,         // file names of the installer and the setup information file
    kTitleSize = 100,       // [Install] Title and Folder
    kLeafSize = 128,        // last element of the Startup folder
    kWorkFolderSize = 258,  // [Working Folder] value
    kMessageSize = 1024     // a composed message text
};

struct InstallSession {
    HINSTANCE instance;
    int isWin32Host;
    int japanese;
    int osClass;
    char installerPath[kPathSize];
    char sourceFolder[kPathSize];
    char installerName[kNameSize];
    char infName[kNameSize];
    char standardInfName[kNameSize];
    char infPath[kPathSize];
    char title[kTitleSize];
    char folder[kTitleSize];
    int residentApp;
    char startupLeaf[kLeafSize];
    char previousFolder[kPathSize];
    char destFolder[kPathSize];
    int entryCount;
    int groupCount;
    char entryValue[kPathSize];
    char entryTarget[kPathSize];   // empty after a resolution whose path did not fit
    int entryRelative;             // offset in entryTarget where the part after destFolder begins
    HWND sheetWindow;
    HWND progressWindow;
    int isUpgrade;
    int hasUninstallItem;
    char uninstallHint[kPathSize];
    int startMenuChecked;
    int desktopChecked;
    int copyStep;
    int installDone;
    int openAfter;
    char openTarget[kPathSize];
    char workingFolder[kWorkFolderSize];
    int uninstallSucceeded;
    HWND controlPanelHost;
    HWND windowToClose;
};

extern InstallSession session;

// Zero-fills the record, as at process start (tests run many sessions in one process).
void ResetSession();
