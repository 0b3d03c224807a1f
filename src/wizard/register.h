// The uninstall entry under the system's Uninstall key.
#pragma once

// Writes the uninstall entry of the installation (DisplayName and UninstallString).
// 1 when both values were written; 0 (silently) when either was not.
int RegisterUninstall();
