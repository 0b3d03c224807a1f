// The process-wide record.
#include "common/session.h"

InstallSession session;

