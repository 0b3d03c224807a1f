// The uninstall dialog (being built).
#include "uninstall/uninstall.h"

void RunUninstaller()
{
}
