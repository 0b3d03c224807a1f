// Reads a setup information file into sections and keys with the program's line rules.
#include "inf_text.h"
#include <string.h>
#include "core/ini_lines.h"
#include "core/setupinfo.h"

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
    if (text->mark == MARK_UTF16LE || text->mark == MARK_UTF16BE)
        text->body = NarrowUtf16(bytes, size, text->mark == MARK_UTF16BE);
    else if (text->mark == MARK_UTF8)
        text->body.assign(bytes + 3, size - 3);
    else
        text->body.assign(bytes, size);
}

static std::string Trimmed(const char* begin, const char* end)
{
    while (begin < end && (*begin == ' ' || *begin == '\t')) begin++;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) end--;
    return std::string(begin, end);
}

static void AddSection(InfText* text, const IniLine& line, int number)
{
    InfSection section;
    const char* close = static_cast<const char*>(memchr(line.begin, ']', line.end - line.begin));
    section.wellFormed = close != NULL;
    section.name = Trimmed(line.begin + 1, close ? close : line.end);
    section.line = number;
    section.first = section.wellFormed && !FindSection(*text, section.name.c_str());
    text->sections.push_back(section);
}

// The key of an entry line. A zero byte ends an entry, as it ends the strings of the
// profile interface; an entry that begins with one is left out.
static void AddKey(InfText* text, const IniLine& line, int number)
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
    text->sections.back().keys.push_back(key);
}

void ParseInfText(InfText* text)
{
    text->lines.clear();
    text->sections.clear();
    text->held.clear();
    IniCursor cursor = {text->body.data(), text->body.data() + text->body.size()};
    IniLine line;
    while (NextIniLine(&cursor, &line)) {
        const char* lineEnd = line.stop;
        if (lineEnd > line.start && lineEnd[-1] == '\n') lineEnd--;
        text->lines.push_back(std::string(line.start, lineEnd));
        int number = (int)text->lines.size();
        if (line.begin == line.end || *line.begin == ';') continue;
        if (IsSectionHeader(line))
            AddSection(text, line, number);
        else if (!text->sections.empty())  // lines before the first section are never read
            AddKey(text, line, number);
    }
}

int SameNameIgnoringCase(const char* a, const char* b)
{
    for (;; a++, b++) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = (char)(y - 'A' + 'a');
        if (x != y) return 0;
        if (!x) return 1;
    }
}

const InfSection* FindSection(const InfText& text, const char* name)
{
    for (size_t i = 0; i < text.sections.size(); i++) {
        const InfSection& section = text.sections[i];
        if (section.wellFormed && SameNameIgnoringCase(section.name.c_str(), name)) return &section;
    }
    return NULL;
}

const InfKey* FindKey(const InfSection* section, const char* name)
{
    if (!section) return NULL;
    for (size_t i = 0; i < section->keys.size(); i++)
        if (SameNameIgnoringCase(section->keys[i].name.c_str(), name)) return &section->keys[i];
    return NULL;
}

// The section in the held form the program looks values up in, made once per name.
static const std::string& HeldSection(const InfText& text, const char* section)
{
    std::string& block = text.held[section];
    if (block.empty()) {
        // The held form is never longer than the text and two terminators.
        block.assign(text.body.size() + 2, '\0');
        SectionFromText(text.body.data(), (unsigned)text.body.size(), section, &block[0],
                        (unsigned)block.size());
    }
    return block;
}

std::string ReadValue(const InfText& text, const char* section, const char* key, unsigned size)
{
    std::string buffer(size, '\0');
    ReadSectionValue(HeldSection(text, section).data(), key, &buffer[0], size);
    buffer.resize(strlen(buffer.c_str()));
    return buffer;
}

size_t ValueLength(const InfKey& key)
{
    // As ReadSectionValue hands it over, without the cut: a pair of matching quotes removed.
    size_t length = key.value.size();
    if (length > 1 && (key.value[0] == '"' || key.value[0] == '\'') &&
        key.value[length - 1] == key.value[0])
        length -= 2;
    return length;
}
