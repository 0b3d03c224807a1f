// The process-wide record.
#include "startup/session.h"

InstallSession session;

void ResetSession()
{
    ZeroMemory(&session, sizeof session);
}
