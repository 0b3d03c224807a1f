// The [Rename] rewrite of WININIT.INI over buffers.
#include "core/wininit.h"
#include "core/dbcs.h"
#include "core/ini_lines.h"
#include "core/text.h"

// The output and how much of it is used; full once something did not fit.
struct Output {
    char* text;
    unsigned size;
    unsigned used;
    int full;
};

static void Put(Output* out, const char* bytes, unsigned length)
{
    if (out->full || length > out->size - out->used) {
        out->full = 1;
        return;
    }
    for (unsigned i = 0; i < length; i++) out->text[out->used + i] = bytes[i];
    out->used += length;
}

// Ends the line just written. Behind half a character (a lead byte alone) a carriage
// return would become its second byte, so that line ends in a line feed only.
static void EndLine(Output* out, unsigned lineStart)
{
    if (out->full) return;
    const char* line = out->text + lineStart;
    unsigned length = out->used - lineStart;
    unsigned i = 0;
    while (i + 1 < length) i += IsLeadByte(line[i]) ? 2 : 1;
    if (i + 1 == length && IsLeadByte(line[i]))
        Put(out, "\n", 1);
    else
        Put(out, "\r\n", 2);
}

// The text's length without a final end mark 0x1A; -1 when an end mark stands before other
// bytes.
static long TextEnd(const char* old, unsigned oldLength)
{
    for (unsigned i = 0; i < oldLength; i++)
        if (old[i] == 0x1A) return i + 1 == oldLength ? (long)i : -1;
    return oldLength;
}

// Every line outside the [Rename] sections, as it stands.
static void CopyOtherLines(const char* old, unsigned length, Output* out)
{
    IniCursor at = {old, old + length};
    IniLine line;
    int inside = 0;
    while (NextIniLine(&at, &line)) {
        if (IsSectionHeader(line)) inside = IsHeaderOf(line, "rename");
        if (!inside) Put(out, line.start, (unsigned)(line.stop - line.start));
    }
}

// The entries of every [Rename] section with the blanks around "=" dropped, one a line.
static void PutOldEntries(const char* old, unsigned length, Output* out)
{
    IniCursor at = {old, old + length};
    IniLine line;
    int inside = 0;
    while (NextIniLine(&at, &line)) {
        if (IsSectionHeader(line)) {
            inside = IsHeaderOf(line, "rename");
            continue;
        }
        if (!inside || line.begin == line.end) continue;
        int n = out->full ? -1 : PutNormalisedEntry(line, out->text + out->used, out->size - out->used);
        if (n < 0) {
            out->full = 1;
            return;
        }
        out->used += (unsigned)n;
        EndLine(out, out->used - (unsigned)n);
    }
}

unsigned RewriteRenameSection(const char* old, unsigned oldLength, const char* entry, char* out,
                              unsigned outSize)
{
    long end = TextEnd(old, oldLength);
    if (end < 0) return 0;
    unsigned length = (unsigned)end;
    Output o = {out, outSize, 0, 0};
    CopyOtherLines(old, length, &o);
    if (o.used > 0 && !o.full && out[o.used - 1] != '\n') {
        unsigned lineStart = o.used;
        while (lineStart > 0 && out[lineStart - 1] != '\n') lineStart--;
        EndLine(&o, lineStart);
    }
    unsigned sectionStart = o.used;
    Put(&o, "[Rename]\r\n", 10);
    PutOldEntries(old, length, &o);
    if (o.full || o.used - sectionStart > kRenameSectionLimit) return 0;
    Put(&o, entry, TextLength(entry));
    Put(&o, "\r\n", 2);
    return o.full ? 0 : o.used;
}
