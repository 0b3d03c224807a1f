// Reads the setup information file and turns numbered entries into source and target.
#include "setupinfo/entries.h"
#include "setupinfo/textops.h"
#include "startup/session.h"
#include "base/text.h"

unsigned ReadInfValue(const char* section, const char* key, char* buffer, unsigned size)
{
    return GetPrivateProfileStringA(section, key, "", buffer, size, session.infPath);
}

// entryTarget := destFolder + relative; left empty when the whole path does not fit.
static int SetTarget(const char* relative)
{
    CopyText(session.entryTarget, sizeof session.entryTarget, session.destFolder);
    session.entryRelative = lstrlenA(session.entryTarget);
    if (AppendText(session.entryTarget, sizeof session.entryTarget, relative)) return 1;
    session.entryTarget[0] = 0;
    session.entryRelative = 0;
    return 0;
}

int ResolveEntry(int n)
{
    if (n == -1)
        CopyText(session.entryValue, sizeof session.entryValue, session.installerName);
    else if (n == 0)
        CopyText(session.entryValue, sizeof session.entryValue, session.infName);
    else
        ReadInfValue("Install", FormatEntryKey((unsigned)n), session.entryValue,
                     sizeof session.entryValue);
    char* comma = FindCharDbcs(session.entryValue, ',');
    if (!comma) return SetTarget(session.entryValue);
    *comma = 0;
    return SetTarget(comma + 1);
}

int ResolveGroupEntry(int n)
{
    ReadInfValue("Group", FormatEntryKey((unsigned)n), session.entryValue,
                 sizeof session.entryValue);
    char* comma = FindCharDbcs(session.entryValue, ',');
    if (!comma) {
        session.entryValue[0] = 0;
        return 1;
    }
    *comma = 0;
    return SetTarget(comma + 1);
}
