// Loading and checking the installation context from the setup information file.
#pragma once

// Reads Title, Folder and TSR, refuses bad values with a message, finds an earlier
// installation, proposes the destination folder and counts the entries. 1 on success.
int LoadSetupContext();

// Looks through the Uninstall key for an earlier installation whose folder holds
// entry 1's file; leaves its folder in session.destFolder, or destFolder empty.
void ScanEarlierInstallation();
