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

// The 9x profile functions read at most 32 KB of a section; NT hosts read what the
// buffer holds.
static DWORD LargestSectionRead()
{
    return session.osClass >= 3 ? 16 * 1048576 : 32768;
}

void HoldInstallSection()
{
    ReleaseInstallSection();
    // A read that fills the buffer (size - 2) may have been cut: a larger buffer, or at
    // the largest one no copy at all, and every entry is read through the profile API.
    for (DWORD size = 32768; size <= LargestSectionRead(); size *= 4) {
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

int IsInstallSectionHeld()
{
    return installSection != NULL;
}

static int IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

static const char* SkipBlanks(const char* text)
{
    while (IsBlank(*text)) text++;
    return text;
}

// 1 when the bytes from name to end are key, letters compared without case as the
// profile API does (entry keys are numbers, so a plain byte loop is enough and fast).
static int IsKey(const char* name, const char* end, const char* key)
{
    for (; name < end && *key; name++, key++) {
        char a = *name, b = *key;
        if (a >= 'A' && a <= 'Z') a = (char)(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = (char)(b - 'A' + 'a');
        if (a != b) return 0;
    }
    return name == end && !*key;
}

void ReadSectionValue(const char* section, const char* key, char* buffer, unsigned size)
{
    buffer[0] = 0;
    for (const char* entry = section; *entry; entry += lstrlenA(entry) + 1) {
        const char* name = SkipBlanks(entry);
        const char* equals = FindCharDbcs(name, '=');
        const char* nameEnd = equals ? equals : name + lstrlenA(name);
        while (nameEnd > name && IsBlank(nameEnd[-1])) nameEnd--;
        if (!IsKey(name, nameEnd, key)) continue;
        if (!equals) return;  // a key without "=" has an empty value
        const char* value = SkipBlanks(equals + 1);
        unsigned length = lstrlenA(value);
        // Blanks and quotes are single bytes, never the second byte of a character.
        while (length && IsBlank(value[length - 1])) length--;
        if (length > 1 && (value[0] == '"' || value[0] == '\'') && value[length - 1] == value[0]) {
            value++;
            length -= 2;
        }
        CopyText(buffer, size, value);
        if (length < (unsigned)lstrlenA(buffer)) buffer[length] = 0;
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
        ReadSectionValue(installSection, FormatEntryKey((unsigned)n), session.entryValue,
                         sizeof session.entryValue);
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
