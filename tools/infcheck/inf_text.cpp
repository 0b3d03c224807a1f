// Reads a setup information file into sections and keys with the program's line rules.
#include "inf_text.h"
#include <string.h>
#include <algorithm>
#include "core/ini_lines.h"
#include "core/setupinfo.h"
#include "core/text.h"

static InfMark MarkOf(const char* bytes, size_t size)
{
    const unsigned char* b = (const unsigned char*)bytes;
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return MARK_UTF8;
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) return MARK_UTF16LE;
    if (size >= 2 && b[0] == 0xFE && b[1] == 0xFF) return MARK_UTF16BE;
    return MARK_NONE;
}

// UTF-16 text as single bytes: ASCII stays, everything else becomes "?".
static std::string NarrowUtf16(const char* bytes, size_t size, int bigEndian)
{
    std::string narrow;
    for (size_t i = 2; i + 1 < size; i += 2) {
        unsigned char low = (unsigned char)bytes[bigEndian ? i + 1 : i];
        unsigned char high = (unsigned char)bytes[bigEndian ? i : i + 1];
        narrow += (high == 0 && low < 0x80) ? (char)low : '?';
    }
    return narrow;
}

void LoadInfBytes(const char* bytes, size_t size, InfText* text)
{
    text->mark = MarkOf(bytes, size);
    text->fileSize = size;
    if (text->mark == MARK_UTF16LE || text->mark == MARK_UTF16BE)
        text->body = NarrowUtf16(bytes, size, text->mark == MARK_UTF16BE);
    else if (text->mark == MARK_UTF8)
        text->body.assign(bytes + 3, size - 3);
    else
        text->body.assign(bytes, size);
}

std::string CaselessName(const std::string& name)
{
    std::string lowered = name;
    LowerAscii(&lowered[0]);
    return lowered;
}

static void AddSection(InfText* text, const char* name, unsigned length, int number)
{
    InfSection section;
    section.name.assign(name, length);
    section.line = number;
    std::string caseless = CaselessName(section.name);
    section.first = text->firstSection.find(caseless) == text->firstSection.end();
    if (section.first) text->firstSection[caseless] = text->sections.size();
    text->sections.push_back(section);
}

// The key of an entry line. A zero byte ends an entry, as it ends the strings of the
// profile interface; an entry that begins with one is left out.
static void AddKey(InfSection* section, const IniLine& line, int number)
{
    std::string entry(line.end - line.begin, '\0');
    int length = PutNormalisedEntry(line, &entry[0], (unsigned)entry.size());
    entry.resize(length < 0 ? 0 : (size_t)length);
    entry.resize(strlen(entry.c_str()));
    if (entry.empty()) return;
    InfKey key;
    size_t equals = entry.find('=');
    key.hasEquals = equals != std::string::npos;
    key.name = entry.substr(0, equals);
    key.value = key.hasEquals ? entry.substr(equals + 1) : std::string();
    key.line = number;
    std::string caseless = CaselessName(key.name);
    if (section->firstKey.find(caseless) == section->firstKey.end())
        section->firstKey[caseless] = section->keys.size();
    section->keys.push_back(key);
}

void ParseInfText(InfText* text)
{
    text->lineStarts.clear();
    text->sections.clear();
    text->firstSection.clear();
    text->unclosed.clear();
    text->held.clear();
    const char* body = text->body.data();
    IniCursor cursor = {body, body + text->body.size()};
    IniLine line;
    while (NextIniLine(&cursor, &line)) {
        text->lineStarts.push_back((size_t)(line.start - body));
        int number = (int)text->lineStarts.size();
        if (line.begin == line.end || *line.begin == ';') continue;
        unsigned length;
        if (const char* name = SectionHeaderName(line, &length)) {
            AddSection(text, name, length, number);
            continue;
        }
        int section = (int)text->sections.size() - 1;
        if (*line.begin == '[') {
            UnclosedHeader unclosed = {number, section};
            text->unclosed.push_back(unclosed);
        }
        if (section >= 0)  // lines before the first section are never read
            AddKey(&text->sections[(size_t)section], line, number);
    }
}

int SameNameIgnoringCase(const char* a, const char* b)
{
    return IsWordIgnoringCase(a, (unsigned)strlen(a), b);
}

const InfSection* FindSection(const InfText& text, const char* name)
{
    auto found = text.firstSection.find(CaselessName(name));
    return found == text.firstSection.end() ? NULL : &text.sections[found->second];
}

const InfKey* FindKey(const InfSection* section, const char* name)
{
    if (!section) return NULL;
    auto found = section->firstKey.find(CaselessName(name));
    return found == section->firstKey.end() ? NULL : &section->keys[found->second];
}

const HeldSection& Held(const InfText& text, const char* section)
{
    HeldSection& held = text.held[section];
    if (!held.block.empty()) return held;
    // The held form is never longer than the text and two terminators.
    held.block.assign(text.body.size() + 2, '\0');
    held.size = SectionFromText(text.body.data(), (unsigned)text.body.size(), section,
                                &held.block[0], (unsigned)held.block.size());
    for (const char* entry = held.block.data(); *entry; entry += strlen(entry) + 1) {
        unsigned length;
        const char* name = SectionEntryName(entry, &length);
        std::string caseless = CaselessName(std::string(name, length));
        if (held.entries.find(caseless) == held.entries.end()) held.entries[caseless] = entry;
    }
    return held;
}

std::string ReadValue(const InfText& text, const char* section, const char* key, unsigned size)
{
    const HeldSection& held = Held(text, section);
    auto found = held.entries.find(CaselessName(key));
    if (found == held.entries.end()) return std::string();
    std::string buffer(size, '\0');
    ReadSectionEntry(found->second, &buffer[0], size);
    buffer.resize(strlen(buffer.c_str()));
    return buffer;
}

size_t ValueLength(const InfKey& key)
{
    // As ReadSectionValue hands it over, without the cut: a pair of matching quotes removed.
    unsigned length = (unsigned)key.value.size();
    UnquotedValue(key.value.c_str(), &length);
    return length;
}

int LineAt(const InfText& text, size_t offset)
{
    std::vector<size_t>::const_iterator after =
        std::upper_bound(text.lineStarts.begin(), text.lineStarts.end(), offset);
    return after == text.lineStarts.begin() ? 1 : (int)(after - text.lineStarts.begin());
}
