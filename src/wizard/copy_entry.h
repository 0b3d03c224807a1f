// Copying one resolved entry into the destination, with the overwrite confirmation.
#pragma once

// Copies session.entryValue to session.entryTarget. 0 after a reported failure.
int CopyEntry();
