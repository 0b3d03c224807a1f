// The one process-wide record of a run: every path, choice and window handle lives here.
#pragma once
#include <windows.h>
#include "core/sizes.h"

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
