// The findings of one run of the checker, printed the way compilers print diagnostics.
#pragma once
#include <stdio.h>
#include <map>
#include <string>
#include <vector>

enum Severity { SEVERITY_ERROR, SEVERITY_WARNING, SEVERITY_NOTE };

struct Finding {
    int line;
    Severity severity;
    std::string text;
    const char* name;  // the check's name, printed in brackets; NULL for a note
};

// Of one check, at most this many findings per file are kept and printed; the rest are
// counted. A hostile file of a few megabytes could otherwise make millions of them.
enum { kMostShownPerCheck = 1000 };

struct Findings {
    std::vector<Finding> list;
    unsigned errors;
    unsigned warnings;
    std::map<std::string, unsigned> perCheck;  // findings of each check, shown or not
};

void AddFinding(Findings* findings, int line, Severity severity, const char* name,
                const char* format, ...) __attribute__((format(printf, 5, 6)));

// "path:LINE: error: text [name]" per finding, in the order of the lines, then a note per
// check with findings beyond kMostShownPerCheck.
void PrintFindings(const char* path, const Findings& findings);

// text with every control byte (below 0x20, and 0x7F) written as \xNN, so that bytes
// from a file or a path can neither move the cursor nor forge a line of findings. The
// second byte of a double-byte character is never such a byte.
void PrintEscaped(FILE* out, const char* text);
