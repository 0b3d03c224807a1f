// The process-wide record.
#include "common/session.h"

InstallSession session;

void ResetSession()
{
    ZeroMemory(&session, sizeof session);
}
