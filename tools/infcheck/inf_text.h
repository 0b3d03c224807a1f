// The lines of a setup information file as the program reads them: sections, keys and
// values, each with the line it stands on, and values looked up by the program's rules.
// Sections, keys and values are indexed once, so that a file of many entries is checked
// in a time that grows with its size.
#pragma once
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// Names in the form CaselessName gives, each with what it names (the first of its name).
template <class T> using NameIndex = std::unordered_map<std::string, T>;

struct InfKey {
    std::string name;   // blanks around it removed
    std::string value;  // as written, blanks around it removed, quotes kept
    int line;
    int hasEquals;      // 0 for a line without "=": a key without a value
};

struct InfSection {
    std::string name;
    int line;
    int first;          // 1 for the first section of its name: the only one the program reads
    std::vector<InfKey> keys;
    NameIndex<size_t> firstKey;  // each name: its first key in keys
};

// A line that begins with "[" but holds no "]": no section header, but a line of the
// section it stands in (section is -1 before the first one).
struct UnclosedHeader {
    int line;
    int section;
};

// A section in the held form the program looks values up in (ReadSectionValue of
// core/setupinfo.h), its entries indexed by name.
struct HeldSection {
    std::string block;                          // "key=value" strings, the list ended by ""
    unsigned size;                              // its bytes, both terminators included
    NameIndex<const char*> entries;             // each name: its first entry
};

// How the bytes of the file began.
enum InfMark { MARK_NONE, MARK_UTF8, MARK_UTF16LE, MARK_UTF16BE };

struct InfText {
    InfMark mark;
    size_t fileSize;                    // the bytes of the file, its mark included
    std::string body;                   // the text without its byte-order mark
    std::vector<size_t> lineStarts;     // where line n begins in body: lineStarts[n - 1]
    std::vector<InfSection> sections;
    NameIndex<size_t> firstSection;     // each name: its first section
    std::vector<UnclosedHeader> unclosed;
    mutable std::map<std::string, HeldSection> held;  // made once per section name
};

// Takes the bytes of a file: its mark, and the text behind it. A UTF-16 file is brought
// down to single bytes (every non-ASCII character becomes "?") so that it can be checked.
void LoadInfBytes(const char* bytes, size_t size, InfText* text);

// Splits text->body into lines, sections and keys. Uses the lead-byte test in force.
void ParseInfText(InfText* text);

// A name in the form the indexes hold it: ASCII letters in small letters (the core's rule
// of names compared without case).
std::string CaselessName(const std::string& name);

// The section of that name that the program reads (the first one, names compared
// without case), or NULL.
const InfSection* FindSection(const InfText& text, const char* name);

// The key of that name that the program reads (the first one in the section), or NULL.
const InfKey* FindKey(const InfSection* section, const char* name);

// The section of that name in the held form, as the profile functions hand it over.
const HeldSection& Held(const InfText& text, const char* section);

// The value of section/key as the program reads it into a buffer of size bytes: missing
// reads as empty, quotes removed, the rest cut to fit.
std::string ReadValue(const InfText& text, const char* section, const char* key, unsigned size);

// Length of a key's value once the program has taken the quotes off, however long.
size_t ValueLength(const InfKey& key);

// The line that holds byte offset of the body.
int LineAt(const InfText& text, size_t offset);

// 1 when a and b are the same name without case (the core's comparison).
int SameNameIgnoringCase(const char* a, const char* b);
