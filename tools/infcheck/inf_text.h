// The lines of a setup information file as the program reads them: sections, keys and
// values, each with the line it stands on, and values looked up by the program's rules.
#pragma once
#include <map>
#include <string>
#include <vector>

struct InfKey {
    std::string name;   // blanks around it removed
    std::string value;  // as written, blanks around it removed, quotes kept
    int line;
    int hasEquals;      // 0 for a line without "=": a key without a value
};

struct InfSection {
    std::string name;
    int line;
    int wellFormed;     // 0 for a header without its closing bracket
    int first;          // 1 for the first section of its name: the only one the program reads
    std::vector<InfKey> keys;
};

// How the bytes of the file began.
enum InfMark { MARK_NONE, MARK_UTF8, MARK_UTF16LE, MARK_UTF16BE };

struct InfText {
    InfMark mark;
    std::string body;                           // the text without its byte-order mark
    std::vector<std::string> lines;             // line n is lines[n - 1], without its line end
    std::vector<InfSection> sections;
    mutable std::map<std::string, std::string> held;  // sections in the program's held form
};

// Takes the bytes of a file: its mark, and the text behind it. A UTF-16 file is brought
// down to single bytes (every non-ASCII character becomes "?") so that it can be checked.
void LoadInfBytes(const char* bytes, size_t size, InfText* text);

// Splits text->body into lines, sections and keys. Uses the lead-byte test in force.
void ParseInfText(InfText* text);

// The section of that name that the program reads (the first one, names compared
// without case), or NULL.
const InfSection* FindSection(const InfText& text, const char* name);

// The key of that name that the program reads (the first one in the section), or NULL.
const InfKey* FindKey(const InfSection* section, const char* name);

// The value of section/key as the program reads it into a buffer of size bytes: missing
// reads as empty, quotes removed, the rest cut to fit.
std::string ReadValue(const InfText& text, const char* section, const char* key, unsigned size);

// Length of a key's value once the program has taken the quotes off, however long.
size_t ValueLength(const InfKey& key);

// ASCII letters compared without case; every other byte as it is.
int SameNameIgnoringCase(const char* a, const char* b);
