// The one process-wide record of a run: every path, choice and window handle lives here.
#pragma once
#include <windows.h>
#include "core/sizes.h"

// The kinds of host, in session.osClass. 0 is also the value when nothing could be read.
enum OsClass {
    OS_WIN95 = 0,
    OS_WIN98 = 1,
    OS_WINME = 2,
    OS_NT4 = 3,
    OS_WIN2000 = 4,
    OS_XP = 5,       // and Server 2003
    OS_VISTA = 6,
    OS_WIN7 = 7,
    OS_LATER_NT = 8  // any later NT-family host
};

struct InstallSession {
    HINSTANCE instance;
    int japanese;
    int osClass;  // an OsClass
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

