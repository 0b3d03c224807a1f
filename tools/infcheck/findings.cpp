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
    if (severity == SEVERITY_ERROR) findings->errors++;
    if (severity == SEVERITY_WARNING) findings->warnings++;
    if (name && ++findings->perCheck[name] > kMostShownPerCheck) return;
    Finding finding = {line, severity, text, name};
    findings->list.push_back(finding);
}

static bool ByLine(const Finding& a, const Finding& b)
{
    return a.line < b.line;
}

void PrintEscaped(FILE* out, const char* text)
{
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        if (*p < 0x20 || *p == 0x7F)
            fprintf(out, "\\x%02X", *p);
        else
            fputc(*p, out);
    }
}

void PrintFindings(const char* path, const Findings& findings)
{
    static const char* const kWords[] = {"error", "warning", "note"};
    std::vector<Finding> sorted = findings.list;
    std::stable_sort(sorted.begin(), sorted.end(), ByLine);
    for (size_t i = 0; i < sorted.size(); i++) {
        const Finding& f = sorted[i];
        PrintEscaped(stdout, path);
        printf(":%d: %s: ", f.line, kWords[f.severity]);
        PrintEscaped(stdout, f.text.c_str());
        if (f.name) printf(" [%s]", f.name);
        printf("\n");
    }
    std::map<std::string, unsigned>::const_iterator check = findings.perCheck.begin();
    for (; check != findings.perCheck.end(); ++check) {
        if (check->second <= kMostShownPerCheck) continue;
        PrintEscaped(stdout, path);
        printf(": note: %u more findings [%s] are counted but not shown\n",
               check->second - kMostShownPerCheck, check->first.c_str());
    }
}
