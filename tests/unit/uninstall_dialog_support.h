// The uninstall dialog run as a user would: a thread timer reads the outcome and presses
// Finish; the scheduled path and the texts are recorded.
#pragma once
#include "uninstall_fixture.h"

extern std::string dialogCaption, dialogStatus, scheduledPath;
extern bool escapeIgnored;
extern bool scheduledBeforeWork;  // the installation was still there when the copy was scheduled

// Runs RunUninstaller to its end with the delayed move recorded, not made.
void RunDialogAsUser();
HWND MakeWindow(const char* className, HWND owner);
bool ReceivedClose(HWND window);
std::string ModulePath();

class UninstallDialog : public UninstallTest {
protected:
    // An installation in scratch\App\ whose installer is the one being run (x mode).
    void InstallForDialog()
    {
        Install({"one.exe"});
        lstrcpyA(session.sourceFolder, dest.c_str());
        session.destFolder[0] = 0;
    }
};
