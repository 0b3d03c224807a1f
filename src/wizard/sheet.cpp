// The install wizard's property sheet (being built).
#include "wizard/wizard.h"
#include "startup/session.h"

void RunInstallWizard()
{
    session.installDone = 0;
}
