// Reading INI text line by line.
#include "core/ini_lines.h"
#include "core/dbcs.h"

static int IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Bytes to the next character of a line: a lead byte pairs only with a byte of the line.
static int StepWithin(const char* p, const char* end)
{
    return IsLeadByte(*p) && p + 1 < end ? 2 : 1;
}

// The end of text without its trailing blanks. A blank that is the second byte of a
// character stays, so that no character is cut in two.
static const char* TrimEnd(const char* begin, const char* end)
{
    const char* kept = begin;
    for (const char* p = begin; p < end;) {
        int step = StepWithin(p, end);
        if (step == 2 || !IsBlank(*p)) kept = p + step;
        p += step;
    }
    return kept;
}

int NextIniLine(IniCursor* cursor, IniLine* line)
{
    const char* p = cursor->at;
    if (p >= cursor->end) return 0;
    line->start = p;
    while (p < cursor->end && *p != '\n') p++;
    const char* textEnd = p;
    if (p < cursor->end) p++;
    line->stop = p;
    cursor->at = p;
    const char* begin = line->start;
    while (begin < textEnd && IsBlank(*begin)) begin++;  // a blank is never a lead byte
    line->begin = begin;
    line->end = TrimEnd(begin, textEnd);
    return 1;
}

int IsSectionHeader(const IniLine& line)
{
    return line.begin < line.end && *line.begin == '[';
}

static char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

int IsHeaderOf(const IniLine& line, const char* name)
{
    const char* p = line.begin;
    if (!IsSectionHeader(line)) return 0;
    for (p++; p < line.end && IsBlank(*p); p++) {}
    for (; *name; name++, p++)
        if (p >= line.end || Lower(*p) != Lower(*name)) return 0;
    while (p < line.end && IsBlank(*p)) p++;
    return p < line.end && *p == ']';
}

int PutNormalisedEntry(const IniLine& line, char* out, unsigned room)
{
    const char* equals = line.begin;
    while (equals < line.end && *equals != '=') equals += StepWithin(equals, line.end);
    const char* nameEnd = equals < line.end ? equals : line.end;
    const char* value = nameEnd;
    if (equals < line.end) {
        nameEnd = TrimEnd(line.begin, equals);
        for (value = equals + 1; value < line.end && IsBlank(*value); value++) {}
    }
    unsigned nameLength = (unsigned)(nameEnd - line.begin);
    unsigned valueLength = (unsigned)(line.end - value);
    unsigned length = nameLength + (equals < line.end ? 1 : 0) + valueLength;
    if (length > room) return -1;
    char* q = out;
    for (const char* p = line.begin; p < nameEnd; p++) *q++ = *p;
    if (equals < line.end) *q++ = '=';
    for (const char* p = value; p < line.end; p++) *q++ = *p;
    return (int)length;
}
