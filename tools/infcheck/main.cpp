// infcheck: checks the setup information files of packages before they ship.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "checks.h"
#include "package.h"

static const char kUsage[] =
    "usage: infcheck [--codepage 932|1252] [--werror] PATH...\n"
    "  PATH is a package folder (its install.inf, or installE.inf and installJ.inf)\n"
    "  or a setup information file.\n"
    "  --codepage  the system code page the file is read in (default: 1252, or 932 for\n"
    "              a Japanese file)\n"
    "  --werror    warnings count as errors\n";

// An error about the run itself, on standard error after the findings printed so far;
// format holds one "%s" for what, which is printed escaped.
static void Complain(const char* format, const std::string& what)
{
    fflush(stdout);
    const char* mark = strstr(format, "%s");
    fputs("infcheck: error: ", stderr);
    fwrite(format, 1, mark ? (size_t)(mark - format) : strlen(format), stderr);
    if (mark) {
        PrintEscaped(stderr, what.c_str());
        fputs(mark + 2, stderr);
    }
    fputs("\n", stderr);
}

struct Totals {
    unsigned files;
    unsigned errors;
    unsigned warnings;
    int unreadable;
};

// Checks one file: path as the user gave it (or its folder), name its own name, package
// the folder that holds it.
static void CheckFile(const std::string& path, const std::string& name, unsigned codePage,
                      PackageFolder* package, Totals* totals)
{
    std::string bytes;
    LoadResult loaded = LoadFile(path, &bytes);
    if (loaded == LOAD_UNREADABLE)
        Complain("cannot read %s", path);
    else if (loaded == LOAD_NOT_A_FILE)
        Complain("%s is not a regular file (a folder, a device or a pipe); not read", path);
    else if (loaded == LOAD_TOO_LARGE)
        Complain("%s is larger than 8 MiB, more than any setup information file; not read",
                 path);
    if (loaded != LOAD_READ) {
        totals->unreadable = 1;
        return;
    }
    Findings findings = Findings();
    CheckInput input = {NULL, name.c_str(), codePage, SourceInPackage, package};
    CheckInfBytes(bytes.data(), bytes.size(), input, &findings);
    PrintFindings(path.c_str(), findings);
    totals->files++;
    totals->errors += findings.errors;
    totals->warnings += findings.warnings;
}

// A package folder: install.inf, or else the two language files.
static void CheckFolder(const std::string& folder, unsigned codePage, Totals* totals)
{
    PackageFolder package;
    package.path = FolderOf(Joined(folder, "x"));  // the folder without a trailing separator
    std::string regular = FindInPackage(&package, "install.inf");
    std::string english = FindInPackage(&package, "installE.inf");
    std::string japanese = FindInPackage(&package, "installJ.inf");
    if (regular.empty() && english.empty() && japanese.empty()) {
        Complain("%s holds no install.inf, installE.inf or installJ.inf", folder);
        totals->unreadable = 1;
        return;
    }
    const std::string* languageFiles[] = {&english, &japanese};
    for (unsigned i = 0; i < 2; i++) {
        const std::string& file = *languageFiles[i];
        Findings findings = Findings();
        if (!regular.empty() && !file.empty())
            AddFinding(&findings, 1, SEVERITY_WARNING, "unused-file",
                       "the program never reads this file: %s beside it takes its place",
                       regular.c_str());
        else if (regular.empty() && file.empty())
            AddFinding(&findings, 1, SEVERITY_WARNING, "missing-language-file",
                       "no %s beside this file: on %s systems the program stops with "
                       "\"Damaged file, or NO Information file.\"",
                       i == 0 ? "installE.inf" : "installJ.inf",
                       i == 0 ? "non-Japanese" : "Japanese (code page 932)");
        if (findings.list.empty()) continue;
        // The finding belongs to the language file that is there.
        const std::string& shown = file.empty() ? *languageFiles[1 - i] : file;
        PrintFindings(Joined(folder, shown).c_str(), findings);
        totals->warnings += findings.warnings;
    }
    const std::string* checked[] = {&regular, &english, &japanese};
    for (unsigned i = 0; i < 3; i++) {
        if (checked[i]->empty() || (i > 0 && !regular.empty())) continue;
        CheckFile(Joined(folder, *checked[i]), *checked[i], codePage, &package, totals);
    }
}

static void CheckPath(const std::string& path, unsigned codePage, Totals* totals)
{
    if (IsFolder(path)) {
        CheckFolder(path, codePage, totals);
        return;
    }
    PackageFolder package;
    package.path = FolderOf(path);
    CheckFile(path, NameOf(path), codePage, &package, totals);
}

static int UsageError(const char* message)
{
    Complain("%s", message);
    fprintf(stderr, "%s", kUsage);
    return 2;
}

static const char* Plural(unsigned n, const char* one, const char* many)
{
    return n == 1 ? one : many;
}

int main(int argc, char** argv)
{
    unsigned codePage = 0;
    int werror = 0;
    std::vector<std::string> paths;
    int optionsEnded = 0;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = 1;
        } else if (arg == "--help" || arg == "-h") {
            printf("%s", kUsage);
            return 0;
        } else if (arg == "--werror") {
            werror = 1;
        } else if (arg == "--codepage" || arg.compare(0, 11, "--codepage=") == 0) {
            std::string value;
            if (arg == "--codepage") {
                if (i + 1 >= argc) return UsageError("--codepage needs 932 or 1252");
                value = argv[++i];
            } else {
                value = arg.substr(11);
            }
            if (value == "932") codePage = 932;
            else if (value == "1252") codePage = 1252;
            else return UsageError("--codepage takes 932 or 1252");
        } else {
            return UsageError(("unknown option " + arg).c_str());
        }
    }
    if (paths.empty()) return UsageError("no PATH given");
    Totals totals = Totals();
    for (size_t i = 0; i < paths.size(); i++) CheckPath(paths[i], codePage, &totals);
    printf("infcheck: %u %s, %u %s in %u %s\n", totals.errors,
           Plural(totals.errors, "error", "errors"), totals.warnings,
           Plural(totals.warnings, "warning", "warnings"), totals.files,
           Plural(totals.files, "file", "files"));
    if (totals.unreadable) return 2;
    return (totals.errors || (werror && totals.warnings)) ? 1 : 0;
}
