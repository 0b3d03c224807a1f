// Copying one resolved entry into the destination, with the overwrite confirmation.
#pragma once

// Copies session.entryValue to session.entryTarget. 0 after a reported failure.
int CopyEntry();

// Writes the uninstall entry of the installation under the system's Uninstall key.
// 1 when it was written; 0 (silently) when it was not, nothing then being registered.
int RegisterUninstall();
