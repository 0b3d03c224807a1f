// Reading INI text line by line.
#include "core/ini_lines.h"
#include <stddef.h>
#include "core/dbcs.h"
#include "core/text.h"

int IsIniBlank(char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' ';
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
        if (step == 2 || !IsIniBlank(*p)) kept = p + step;
        p += step;
    }
    return kept;
}

static const char* TrimStart(const char* begin, const char* end)
{
    while (begin < end && IsIniBlank(*begin)) begin++;  // a blank is never a lead byte
    return begin;
}

int NextIniLine(IniCursor* cursor, IniLine* line)
{
    const char* p = cursor->at;
    if (p >= cursor->end) return 0;
    line->start = p;
    // A line feed always ends the line; a carriage return that is the second byte of a
    // character (behind a lead byte) is part of the line.
    while (p < cursor->end && *p != '\n' && *p != '\r')
        p += (IsLeadByte(*p) && p + 1 < cursor->end && p[1] != '\n') ? 2 : 1;
    const char* textEnd = p;
    if (p < cursor->end) p += (*p == '\r' && p + 1 < cursor->end && p[1] == '\n') ? 2 : 1;
    line->stop = p;
    cursor->at = p;
    line->begin = TrimStart(line->start, textEnd);
    line->end = TrimEnd(line->begin, textEnd);
    return 1;
}

const char* SectionHeaderName(const IniLine& line, unsigned* length)
{
    if (line.begin >= line.end || *line.begin != '[') return NULL;
    const char* close = NULL;
    for (const char* p = line.begin; p < line.end; p += StepWithin(p, line.end))
        if (*p == ']') close = p;
    if (!close) return NULL;
    const char* name = TrimStart(line.begin + 1, close);
    const char* end = TrimEnd(name, close);
    // A zero byte ends the name, as it ends the strings of the profile interface.
    for (*length = 0; name + *length < end && name[*length]; ++*length) {}
    return name;
}

int IsSectionHeader(const IniLine& line)
{
    unsigned length;
    return SectionHeaderName(line, &length) != NULL;
}

int IsHeaderOf(const IniLine& line, const char* name)
{
    unsigned length;
    const char* found = SectionHeaderName(line, &length);
    return found && IsWordIgnoringCase(found, length, name);
}

int PutNormalisedEntry(const IniLine& line, char* out, unsigned room)
{
    const char* equals = line.begin;
    while (equals < line.end && *equals != '=') equals += StepWithin(equals, line.end);
    const char* nameEnd = equals < line.end ? equals : line.end;
    const char* value = nameEnd;
    if (equals < line.end) {
        nameEnd = TrimEnd(line.begin, equals);
        value = TrimStart(equals + 1, line.end);
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
