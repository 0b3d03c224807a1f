// The checks of a setup information file: what the program would refuse, cut, skip or
// lose, found with the program's own reading rules. This file holds the checks of the
// file as a whole and runs every check; check_install.cpp and check_group_reg.cpp hold
// those of the sections.
#include "checks.h"
#include <string.h>
#include "check_run.h"
#include "core/dbcs.h"

// The sections the program reads.
static const char* const kRead[] = {kInstall, kGroup, kWorkFolder, kReg};
enum { kReadCount = sizeof kRead / sizeof kRead[0] };

// Sections the program reads and the keys it knows in them.
static int IsKnownKey(const char* section, const InfKey& key)
{
    if (LooksNumbered(key.name)) return 1;
    if (!SameNameIgnoringCase(section, kInstall)) return 0;
    static const char* const kNamed[] = {"Title", "Folder", "TSR", "Open"};
    for (unsigned i = 0; i < 4; i++)
        if (SameNameIgnoringCase(key.name.c_str(), kNamed[i])) return 1;
    return 0;
}

// Lines that begin with "[" but hold no "]": the profile functions take them for lines of
// the section they stand in, not for the start of another.
static void CheckUnclosedHeaders(Check& c)
{
    const InfText& text = *c.in.text;
    for (size_t i = 0; i < text.unclosed.size(); i++) {
        const UnclosedHeader& u = text.unclosed[i];
        if (u.section < 0)
            AddFinding(c.out, u.line, SEVERITY_WARNING, "syntax",
                       "line begins with \"[\" but has no \"]\", so it is no section header "
                       "(and before the first section nothing is read)");
        else
            AddFinding(c.out, u.line, SEVERITY_WARNING, "syntax",
                       "line begins with \"[\" but has no \"]\", so it is no section header: the "
                       "lines after it still belong to [%s]",
                       text.sections[(size_t)u.section].name.c_str());
    }
}

static void CheckLayout(Check& c)
{
    CheckUnclosedHeaders(c);
    const std::vector<InfSection>& sections = c.in.text->sections;
    for (size_t i = 0; i < sections.size(); i++) {
        const InfSection& s = sections[i];
        const char* known = NULL;
        for (unsigned k = 0; k < kReadCount; k++)
            if (SameNameIgnoringCase(s.name.c_str(), kRead[k])) known = kRead[k];
        if (!s.first) {
            AddFinding(c.out, s.line, SEVERITY_WARNING, "duplicate",
                       "section [%s] appears again; only the first, at line %d, is read",
                       s.name.c_str(), Section(c, s.name.c_str())->line);
            continue;
        }
        if (!known) {
            AddFinding(c.out, s.line, SEVERITY_WARNING, "unknown",
                       "section [%s] is not one the program reads", s.name.c_str());
            continue;
        }
        for (size_t k = 0; k < s.keys.size(); k++) {
            const InfKey& key = s.keys[k];
            const InfKey* first = FindKey(&s, key.name.c_str());
            if (key.name[0] == '[') continue;  // an unclosed header, reported above
            if (!key.hasEquals)
                AddFinding(c.out, key.line, SEVERITY_WARNING, "syntax",
                           "line has no \"=\"; the program reads it as a key \"%s\" without a "
                           "value",
                           key.name.c_str());
            else if (first != &key)
                AddFinding(c.out, key.line, SEVERITY_WARNING, "duplicate",
                           "[%s] key %s appears again; only the first, at line %d, is read",
                           known, key.name.c_str(), first->line);
            else if (!IsKnownKey(known, key))
                AddFinding(c.out, key.line, SEVERITY_WARNING, "unknown",
                           "[%s] key \"%s\" is not one the program reads", known,
                           key.name.c_str());
        }
    }
}

// Length of the UTF-8 sequence at p (2 to 4 bytes), or 0 when none starts there.
static unsigned Utf8Sequence(const unsigned char* p)
{
    unsigned length = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (p[0] > 0xF4) return 0;
    for (unsigned i = 1; i < length; i++)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return length;
}

// The first line with UTF-8 text when every non-ASCII byte of the file is UTF-8, else 0.
static int FirstUtf8Line(const InfText& text)
{
    // The body ends in a terminator, so a sequence cut by the end stops at it.
    const unsigned char* body = (const unsigned char*)text.body.c_str();
    const unsigned char* end = body + text.body.size();
    const unsigned char* first = NULL;
    for (const unsigned char* p = body; p < end;) {
        if (*p < 0x80) {
            p++;
            continue;
        }
        unsigned length = Utf8Sequence(p);
        if (!length) return 0;
        if (!first) first = p;
        p += length;
    }
    return first ? LineAt(text, (size_t)(first - body)) : 0;
}

static void CheckEncoding(Check& c)
{
    // Windows reads a UTF-8 mark as text in front of the first line, and the 9x family
    // reads no UTF-16 file at all.
    const std::vector<InfSection>& sections = c.in.text->sections;
    std::string first = sections.empty() || sections[0].line != 1 ? "" : sections[0].name;
    if (c.in.text->mark == MARK_UTF8)
        AddFinding(c.out, 1, SEVERITY_WARNING, "encoding",
                   "the file starts with a UTF-8 byte-order mark, which Windows reads as text: "
                   "the first line is then no section header%s; save the file in the system "
                   "code page (ANSI)",
                   first.empty() ? "" : (", and [" + first + "] is not found").c_str());
    else if (c.in.text->mark != MARK_NONE)
        AddFinding(c.out, 1, SEVERITY_WARNING, "encoding",
                   "the file is UTF-16 (it starts with a byte-order mark), which Windows 95, "
                   "98 and Me do not read; save it in the system code page (ANSI)");
    int line = FirstUtf8Line(*c.in.text);
    if (line)
        AddFinding(c.out, line, SEVERITY_WARNING, "encoding",
                   "line %d holds UTF-8 text; the program reads the file in the system code "
                   "page (%u here), so its non-ASCII characters turn into garbage",
                   line, c.in.codePage);
}

// What the profile functions of Windows 95, 98 and Me read (see docs/install-inf.md for
// the sources): the first 64 KB of a file, and 32,767 bytes of a section.
enum { kWin9xFileRead = 65536, kWin9xSectionRead = 32767 };

static void CheckWin9xLimits(Check& c)
{
    const InfText& text = *c.in.text;
    // A UTF-16 file is not read there at all (CheckEncoding says so).
    if (text.mark == MARK_UTF16LE || text.mark == MARK_UTF16BE) return;
    if (text.fileSize > kWin9xFileRead) {
        size_t markLength = text.mark == MARK_UTF8 ? 3 : 0;
        int line = LineAt(text, kWin9xFileRead - markLength);
        AddFinding(c.out, line, SEVERITY_WARNING, "win9x-limit",
                   "the file is %lu bytes; Windows 95, 98 and Me read only its first %u bytes, "
                   "so on those systems the lines from %d on are never read",
                   (unsigned long)text.fileSize, (unsigned)kWin9xFileRead, line);
    }
    for (unsigned i = 0; i < kReadCount; i++) {
        const InfSection* section = Section(c, kRead[i]);
        unsigned size = Held(text, kRead[i]).size;
        if (section && size > kWin9xSectionRead)
            AddFinding(c.out, section->line, SEVERITY_WARNING, "win9x-limit",
                       "[%s] takes %u bytes as the profile functions hand it over; Windows 95, 98 "
                       "and Me read at most %u bytes of a section",
                       kRead[i], size, (unsigned)kWin9xSectionRead);
    }
}

unsigned GuessCodePage(const InfText& text)
{
    if (FirstUtf8Line(text)) return 1252;
    LeadByteTest leadByte = LeadByteTestOfCodePage(932);
    // Shift-JIS shows in double-byte characters whose first byte is 0x81-0x9F: a second
    // byte above 0x80 (kana and kanji), or two such characters in a row. Western text
    // has those bytes only as single typographic signs.
    int japanese = 0;
    int previousLow = 0;  // the character before was double-byte, first byte 0x81-0x9F
    // The body ends in a terminator: a lead byte at the end finds no second byte.
    const unsigned char* p = (const unsigned char*)text.body.c_str();
    for (const unsigned char* end = p + text.body.size(); p < end;) {
        if (!leadByte(*p)) {
            previousLow = 0;
            p++;
            continue;
        }
        unsigned char trail = p[1];
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return 1252;
        int low = *p <= 0x9F;
        if (low && (trail >= 0x80 || previousLow)) japanese = 1;
        previousLow = low;
        p += 2;
    }
    return japanese ? 932 : 1252;
}

void CheckInf(const CheckInput& input, Findings* findings)
{
    Check c(input, findings);
    CheckEncoding(c);
    CheckWin9xLimits(c);
    CheckLayout(c);
    CheckTitle(c);
    CheckFolder(c);
    CheckTsr(c);
    CheckFileEntries(c);
    CheckOpen(c);
    CheckGroup(c);
    CheckWorkingFolder(c);
    CheckReg(c);
}

// 1 when name ends in "J.INF" (any case): the language file of Japanese systems.
static int IsJapaneseFile(const char* name)
{
    size_t length = strlen(name);
    return length >= 5 && SameNameIgnoringCase(name + length - 5, "J.INF");
}

unsigned CheckInfBytes(const char* bytes, size_t size, CheckInput input, Findings* findings)
{
    InfText text;
    LoadInfBytes(bytes, size, &text);
    int guessed = 0;
    if (!input.codePage) {
        UseLeadByteTest(NULL);
        ParseInfText(&text);
        input.codePage = IsJapaneseFile(input.infName) ? 932 : GuessCodePage(text);
        guessed = input.codePage == 932 && !IsJapaneseFile(input.infName);
    }
    UseLeadByteTest(LeadByteTestOfCodePage(input.codePage));
    ParseInfText(&text);
    input.text = &text;
    if (guessed)
        AddFinding(findings, 1, SEVERITY_NOTE, NULL,
                   "read in code page 932: the file holds Shift-JIS text (--codepage 1252 "
                   "reads it as Western text)");
    CheckInf(input, findings);
    return input.codePage;
}
