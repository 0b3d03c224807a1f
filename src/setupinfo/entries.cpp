// Reads the setup information file and turns numbered entries into source and target.
#include "setupinfo/entries.h"
#include "setupinfo/textops.h"
#include "startup/session.h"
#include "base/text.h"

unsigned ReadInfValue(const char* section, const char* key, char* buffer, unsigned size)
{
    return GetPrivateProfileStringA(section, key, "", buffer, size, session.infPath);
}

// The [Install] section as the profile API gives it: "key=value" strings, each ended by
// a zero byte, the list by an empty one. NULL when not held.
static char* installSection;

void HoldInstallSection()
{
    ReleaseInstallSection();
    for (DWORD size = 65536; size <= 16 * 1048576; size *= 4) {
        char* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, size));
        if (!block) return;
        if (GetPrivateProfileSectionA("Install", block, size, session.infPath) < size - 2) {
            installSection = block;
            return;
        }
        GlobalFree(block);
    }
}

void ReleaseInstallSection()
{
    if (installSection) GlobalFree(installSection);
    installSection = NULL;
}

// 1 when entry begins with key followed by "=", letters compared without case as the
// profile API does (entry keys are numbers, so a plain byte loop is enough and fast).
static int EntryHasKey(const char* entry, const char* key)
{
    for (; *key; key++, entry++) {
        char a = *entry, b = *key;
        if (a >= 'A' && a <= 'Z') a = (char)(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = (char)(b - 'A' + 'a');
        if (a != b) return 0;
    }
    return *entry == '=';
}

// The value of key from the held section, as the profile API reads it: the first entry
// of that name, one pair of matching quotes around the value removed.
static void ReadHeldValue(const char* key, char* buffer, unsigned size)
{
    buffer[0] = 0;
    unsigned keyLength = lstrlenA(key);
    for (const char* entry = installSection; *entry; entry += lstrlenA(entry) + 1) {
        if (!EntryHasKey(entry, key)) continue;
        const char* value = entry + keyLength + 1;
        unsigned length = lstrlenA(value);
        if (length > 1 && (value[0] == '"' || value[0] == '\'') && value[length - 1] == value[0]) {
            char unquoted[kPathSize];
            CopyText(unquoted, sizeof unquoted, value + 1);
            unsigned cut = length - 2 < sizeof unquoted - 1 ? length - 2 : sizeof unquoted - 1;
            unquoted[cut] = 0;
            CopyText(buffer, size, unquoted);
        } else {
            CopyText(buffer, size, value);
        }
        return;
    }
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
    else if (installSection)
        ReadHeldValue(FormatEntryKey((unsigned)n), session.entryValue, sizeof session.entryValue);
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
