// The findings of one run of the checker, printed the way compilers print diagnostics.
#pragma once
#include <string>
#include <vector>

enum Severity { SEVERITY_ERROR, SEVERITY_WARNING, SEVERITY_NOTE };

struct Finding {
    int line;
    Severity severity;
    std::string text;
    const char* name;  // the check's name, printed in brackets; NULL for a note
};

struct Findings {
    std::vector<Finding> list;
    unsigned errors;
    unsigned warnings;
};

void AddFinding(Findings* findings, int line, Severity severity, const char* name,
                const char* format, ...) __attribute__((format(printf, 5, 6)));

// "path:LINE: error: text [name]" per finding, in the order of the lines.
void PrintFindings(const char* path, const Findings& findings);
