// The uninstall request of /r.
#pragma once

// Confirms, copies the program into the system directory and starts it with "x" and the
// installed program's path, so that the installed copy can be deleted too.
void RequestUninstall();
