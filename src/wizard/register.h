// The uninstall entry under the system's Uninstall key.
#pragma once

// Writes the uninstall entry of the installation (DisplayName and UninstallString).
// 1 when it was written; 0 (silently) when it was not, nothing then being registered.
int RegisterUninstall();
