// Reads the setup information file and turns numbered entries into source and target.
#include "setupinfo/entries.h"
#include "core/setupinfo.h"
#include "core/text.h"
#include "common/session.h"
#include "base/holders.h"

unsigned ReadInfValue(const char* section, const char* key, char* buffer, unsigned size)
{
    return GetPrivateProfileStringA(section, key, "", buffer, size, session.infPath);
}

// The [Install] section as the profile API gives it: "key=value" strings, each ended by
// a zero byte, the list by an empty one; beside it, the first entry of every number key
// 1..numbered, so that entries are not searched from the start one by one, which grows
// with the square of the count. NULL when not held.
static char* installSection;
static const char** numberedEntries;
static unsigned numbered;

// Indexes the held section; 0 when there is no memory for the index.
static int IndexInstallSection()
{
    unsigned count = 0;
    for (const char* entry = installSection; *entry; entry += lstrlenA(entry) + 1) count++;
    numberedEntries = static_cast<const char**>(
        GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (count + 1) * sizeof(char*)));
    if (!numberedEntries) return 0;
    numbered = count;
    for (const char* entry = installSection; *entry; entry += lstrlenA(entry) + 1) {
        unsigned n = SectionEntryNumber(entry, count);
        if (n && !numberedEntries[n]) numberedEntries[n] = entry;
    }
    return 1;
}

// The 9x profile functions read at most 32 KB of a section; NT hosts read what the
// buffer holds.
static DWORD LargestSectionRead()
{
    return session.osClass >= OS_NT4 ? kSectionReadLimit : kSectionRead9x;
}

void HoldInstallSection()
{
    ReleaseInstallSection();
    // A read that fills the buffer (size - 2) may have been cut: a larger buffer, or at
    // the largest one no copy at all, and every entry is read through the profile API.
    for (DWORD size = kSectionRead9x; size <= LargestSectionRead(); size *= 4) {
        char* block = NewBlock(size);
        if (!block) return;
        if (GetPrivateProfileSectionA("Install", block, size, session.infPath) < size - 2) {
            installSection = block;
            if (!IndexInstallSection()) ReleaseInstallSection();
            return;
        }
        GlobalFree(block);
    }
}

void ReleaseInstallSection()
{
    if (installSection) GlobalFree(installSection);
    if (numberedEntries) GlobalFree(numberedEntries);
    installSection = NULL;
    numberedEntries = NULL;
    numbered = 0;
}

// Value n of [Install]: from the held copy when there is one, else from the file.
static unsigned ReadInstallValue(void*, unsigned n, char* buffer, unsigned size)
{
    if (!installSection) return ReadInfValue("Install", FormatEntryKey(n), buffer, size);
    // A section of count entries cannot hold every number up to a larger one: such a
    // number is searched for.
    if (n <= numbered) {
        if (numberedEntries[n])
            ReadSectionEntry(numberedEntries[n], buffer, size);
        else if (size)
            buffer[0] = 0;
    } else {
        ReadSectionValue(installSection, FormatEntryKey(n), buffer, size);
    }
    return lstrlenA(buffer);
}

static unsigned ReadGroupValue(void*, unsigned n, char* buffer, unsigned size)
{
    return ReadInfValue("Group", FormatEntryKey(n), buffer, size);
}

int CountInstallEntries()
{
    return CountInstallEntries(ReadInstallValue, NULL);
}

int CountGroupEntries()
{
    return CountGroupEntries(ReadGroupValue, NULL);
}

static unsigned ReadRegValue(void*, unsigned n, char* buffer, unsigned size)
{
    return ReadInfValue("Reg", FormatEntryKey(n), buffer, size);
}

int CountRegEntries()
{
    return CountRegEntries(ReadRegValue, NULL);
}

int FindUninstallItem(char* name, unsigned size)
{
    return FindUninstallItem(ReadGroupValue, NULL, name, size);
}

int ResolveEntry(int n)
{
    if (n == -1)
        CopyText(session.entryValue, sizeof session.entryValue, session.installerName);
    else if (n == 0)
        CopyText(session.entryValue, sizeof session.entryValue, session.infName);
    else
        ReadInstallValue(NULL, (unsigned)n, session.entryValue, sizeof session.entryValue);
    return ResolveInstallValue(session.entryValue, session.destFolder, session.entryTarget,
                               sizeof session.entryTarget, &session.entryRelative);
}

int ResolveGroupEntry(int n)
{
    ReadGroupValue(NULL, (unsigned)n, session.entryValue, sizeof session.entryValue);
    return ResolveGroupValue(session.entryValue, session.destFolder, session.entryTarget,
                             sizeof session.entryTarget, &session.entryRelative);
}
