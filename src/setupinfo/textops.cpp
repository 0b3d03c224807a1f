// Text operations that step over double-byte characters of the system code page.
#include "setupinfo/textops.h"
#include <windows.h>
#include "base/text.h"

// Bytes to the next character: 2 for a lead byte followed by a second byte, else 1.
static int CharStep(const char* p)
{
    return (IsDBCSLeadByte((BYTE)*p) && p[1]) ? 2 : 1;
}

const char* FindCharDbcs(const char* text, char c)
{
    for (const char* p = text; *p; p += CharStep(p))
        if (*p == c) return p;
    return NULL;
}

char* FindCharDbcs(char* text, char c)
{
    return const_cast<char*>(FindCharDbcs(const_cast<const char*>(text), c));
}

const char* FindLastCharDbcs(const char* text, char c)
{
    const char* last = NULL;
    for (const char* p = text; *p; p += CharStep(p))
        if (*p == c) last = p;
    return last;
}

const char* GetLeafName(const char* path)
{
    static char leaf[258];
    char work[256];
    ZeroMemory(leaf, sizeof leaf);
    CopyText(work, sizeof work, path);
    const char* slash = FindLastCharDbcs(work, '\\');
    CopyText(leaf, sizeof leaf, slash ? slash + 1 : work);
    return leaf;
}

const char* FormatEntryKey(unsigned n)
{
    static char key[16];
    FormatText(key, sizeof key, "%u", n);
    return key;
}
