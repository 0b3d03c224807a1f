// The double-byte stepping rule and the scans built on it.
#include "core/dbcs.h"
#include <stddef.h>

static int LeadByte932(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

LeadByteTest LeadByteTestOfCodePage(unsigned codePage)
{
    return codePage == 932 ? LeadByte932 : NULL;
}

// Set once at start; zero-filled like every static, so no start-up code is needed.
static LeadByteTest leadByteTest;

LeadByteTest UseLeadByteTest(LeadByteTest test)
{
    LeadByteTest kept = leadByteTest;
    leadByteTest = test;
    return kept;
}

int IsLeadByte(char c)
{
    return leadByteTest && leadByteTest((unsigned char)c) ? 1 : 0;
}

int CharStep(const char* p)
{
    return (IsLeadByte(*p) && p[1]) ? 2 : 1;
}

int IsTrailByteAt(const char* text, unsigned n)
{
    unsigned i = 0;
    while (i < n && text[i]) i += CharStep(text + i);
    return i > n ? 1 : 0;
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
