// Collects findings and prints them as compilers print diagnostics.
#include "findings.h"
#include <algorithm>
#include <stdarg.h>
#include <stdio.h>

void AddFinding(Findings* findings, int line, Severity severity, const char* name,
                const char* format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Finding finding = {line, severity, text, name};
    findings->list.push_back(finding);
    if (severity == SEVERITY_ERROR) findings->errors++;
    if (severity == SEVERITY_WARNING) findings->warnings++;
}

static bool ByLine(const Finding& a, const Finding& b)
{
    return a.line < b.line;
}

void PrintFindings(const char* path, const Findings& findings)
{
    static const char* const kWords[] = {"error", "warning", "note"};
    std::vector<Finding> sorted = findings.list;
    std::stable_sort(sorted.begin(), sorted.end(), ByLine);
    for (size_t i = 0; i < sorted.size(); i++) {
        const Finding& f = sorted[i];
        printf("%s:%d: %s: %s", path, f.line, kWords[f.severity], f.text.c_str());
        if (f.name) printf(" [%s]", f.name);
        printf("\n");
    }
}
