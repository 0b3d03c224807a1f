// The checks of a setup information file: what the program would refuse, cut, skip or
// lose, found with the program's own reading rules.
#include "checks.h"
#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/sizes.h"

namespace {

enum { kTsrSize = 10 };  // the program reads [Install] TSR into 10 bytes

const char kInstall[] = "Install";
const char kGroup[] = "Group";
const char kWorkFolder[] = "Working Folder";
const char kReg[] = "Reg";
const char kUninstallCommand[] = "install.exe,/r";
const char kAbnormalReg[] =
    "the uninstaller reports \"Found abnormal Reg section.\" and deletes nothing";

// One run over one file.
struct Check {
    const CheckInput& in;
    Findings* out;
    std::string folder;                    // [Install] Folder as read
    std::string destFolder;                // the proposed destination, "" without a Folder
    std::vector<std::string> installed;    // destinations relative to the installation folder
    std::vector<int> installedEntry;       // their entry numbers (-1 installer, 0 this file)
    Check(const CheckInput& input, Findings* findings) : in(input), out(findings) {}
};

// ---- small helpers ----

const InfSection* Section(const Check& c, const char* name)
{
    return FindSection(*c.in.text, name);
}

// The line to name for section/key: the key's, else the section's, else the first.
int LineOf(const Check& c, const char* section, const char* key)
{
    const InfSection* s = Section(c, section);
    const InfKey* k = key ? FindKey(s, key) : NULL;
    if (k) return k->line;
    return s ? s->line : 1;
}

std::string KeyText(unsigned n)
{
    return FormatEntryKey(n);
}

// Folded for a comparison without case: ASCII letters lowered, '/' taken as '\', the
// second byte of a double-byte character left alone.
std::string Folded(const std::string& text)
{
    std::string folded;
    for (const char* p = text.c_str(); *p;) {
        unsigned step = CharStep(p);
        for (unsigned i = 0; i < step; i++) {
            char ch = p[i];
            if (step == 1 && ch >= 'A' && ch <= 'Z') ch = (char)(ch - 'A' + 'a');
            if (step == 1 && ch == '/') ch = '\\';
            folded += ch;
        }
        p += step;
    }
    return folded;
}

// "4", "4, 5" or "4, 5, 7": the numbers of the keys named.
std::string NumberList(const std::vector<unsigned>& numbers)
{
    std::string list;
    for (size_t i = 0; i < numbers.size(); i++) {
        if (i) list += ", ";
        list += KeyText(numbers[i]);
    }
    return list;
}

// 1 for a key made of digits only (a sign in front counts too): a number the author meant.
int LooksNumbered(const std::string& name)
{
    size_t i = (!name.empty() && (name[0] == '+' || name[0] == '-')) ? 1 : 0;
    if (i >= name.size()) return 0;
    for (; i < name.size(); i++)
        if (name[i] < '0' || name[i] > '9') return 0;
    return 1;
}

// The number of a key written as the program writes numbers ("%u" from 1), else 0.
unsigned ProgramNumber(const std::string& name)
{
    if (name.empty() || name.size() > 9 || name[0] < '1' || name[0] > '9') return 0;
    for (size_t i = 0; i < name.size(); i++)
        if (name[i] < '0' || name[i] > '9') return 0;
    return (unsigned)strtoul(name.c_str(), NULL, 10);
}

// A value longer than the program's buffer for it.
void CheckLength(Check& c, const char* section, const InfKey* key, unsigned readSize)
{
    if (!key) return;
    size_t length = ValueLength(*key);
    if (length <= readSize - 1) return;
    AddFinding(c.out, key->line, SEVERITY_ERROR, "too-long",
               "[%s] %s is %u bytes long; the program reads %u and cuts the rest", section,
               key->name.c_str(), (unsigned)length, readSize - 1);
}

// ---- [Install] Title, Folder, TSR ----

void CheckTitle(Check& c)
{
    const InfKey* key = FindKey(Section(c, kInstall), "Title");
    CheckLength(c, kInstall, key, kTitleSize);
    std::string title = ReadValue(*c.in.text, kInstall, "Title", kTitleSize);
    int line = LineOf(c, kInstall, "Title");
    if (title.empty()) {
        AddFinding(c.out, line, SEVERITY_ERROR, "empty-title",
                   "[Install] Title is empty or missing; the program stops with \"Damaged "
                   "file, or NO Information file.\"");
        return;
    }
    // The Startup folder's last element on English and on Japanese systems.
    static const char* const kStartupNames[] = {"Startup",
                                                "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x41"
                                                "\x83\x62\x83\x76"};
    for (unsigned i = 0; i < 2; i++)
        if (Folded(title) == Folded(kStartupNames[i]))
            AddFinding(c.out, line, SEVERITY_ERROR, "startup-title",
                       "[Install] Title \"%s\" is the name of the Startup folder; the program "
                       "refuses to install (\"Unable to install in the StartUp.\")",
                       title.c_str());
}

void CheckFolder(Check& c)
{
    const InfKey* key = FindKey(Section(c, kInstall), "Folder");
    CheckLength(c, kInstall, key, kTitleSize);
    c.folder = ReadValue(*c.in.text, kInstall, "Folder", kTitleSize);
    int line = LineOf(c, kInstall, "Folder");
    if (c.folder.empty()) {
        AddFinding(c.out, line, SEVERITY_ERROR, "empty-folder",
                   "[Install] Folder is empty or missing; the program stops with \"Damaged "
                   "file, or NO Information file.\"");
        return;
    }
    if (FindCharDbcs(c.folder.c_str(), '\\')) {
        AddFinding(c.out, line, SEVERITY_ERROR, "folder-backslash",
                   "[Install] Folder \"%s\" holds a backslash; the program refuses it (\"Do not "
                   "assign a sub-folder in the installation folder.\")",
                   c.folder.c_str());
        return;  // no proposed destination to measure paths against
    }
    char proposed[kPathSize];
    if (ProposeDestination("C:\\WINDOWS", c.folder.c_str(), proposed, sizeof proposed))
        c.destFolder = proposed;
}

void CheckTsr(Check& c)
{
    const InfKey* key = FindKey(Section(c, kInstall), "TSR");
    CheckLength(c, kInstall, key, kTsrSize);
    std::string tsr = ReadValue(*c.in.text, kInstall, "TSR", kTsrSize);
    if (!tsr.empty() && tsr[0] != '0' && tsr[0] != '1')
        AddFinding(c.out, LineOf(c, kInstall, "TSR"), SEVERITY_WARNING, "tsr",
                   "[Install] TSR \"%s\" does not begin with 1, so the application is not "
                   "resident (write 1 for resident, 0 for not)",
                   tsr.c_str());
}
// ---- destinations ----

// 1 when a path relative to the installation folder leads out of it: a leading
// backslash, a drive, or more ".." levels than it went down.
int LeavesFolder(const char* path)
{
    if (path[0] == '\\' || path[0] == '/') return 1;
    if (path[0] && path[1] == ':') return 1;
    int depth = 0;
    const char* element = path;
    for (const char* p = path;; p += CharStep(p)) {
        if (*p && *p != '\\' && *p != '/') continue;
        std::string name(element, p);
        if (name == "..") depth--;
        else if (!name.empty() && name != ".") depth++;
        if (depth < 0) return 1;
        if (!*p) return 0;
        element = p + 1;
    }
}

// An entry whose path below the proposed destination the program could not form.
void ReportPathLength(Check& c, int line, const char* what, const std::string& relative)
{
    size_t length = c.destFolder.size() + relative.size();
    AddFinding(c.out, line, SEVERITY_WARNING, "path-too-long",
               "%s: the proposed destination %s and \"%s\" make %u characters; paths over "
               "%u cannot be installed",
               what, c.destFolder.c_str(), relative.c_str(), (unsigned)length,
               (unsigned)kPathSize - 1);
}

// The entry number of an installed file with that relative destination, or -2.
int InstalledAs(const Check& c, const std::string& relative)
{
    std::string folded = Folded(relative);
    while (folded.compare(0, 2, ".\\") == 0) folded.erase(0, 2);
    for (size_t i = 0; i < c.installed.size(); i++)
        if (Folded(c.installed[i]) == folded) return c.installedEntry[i];
    return -2;
}

std::string EntryName(int n)
{
    if (n == -1) return "the installer INSTALL.EXE";
    if (n == 0) return "this setup information file";
    return "entry " + KeyText((unsigned)n);
}

// ---- numbered sections ----

// What ended a scan at the number where it stopped.
enum StopReason { STOP_MISSING, STOP_EMPTY, STOP_SHAPE };

StopReason ReasonAt(const Check& c, const char* section, unsigned n)
{
    const InfKey* key = FindKey(Section(c, section), KeyText(n).c_str());
    if (!key) return STOP_MISSING;
    return ValueLength(*key) == 0 ? STOP_EMPTY : STOP_SHAPE;
}

// The keys of section written as the program writes numbers, above stop, in order.
std::vector<unsigned> NumbersAbove(const Check& c, const char* section, unsigned stop)
{
    std::vector<unsigned> numbers;
    const InfSection* s = Section(c, section);
    if (!s) return numbers;
    for (size_t i = 0; i < s->keys.size(); i++) {
        unsigned n = ProgramNumber(s->keys[i].name);
        if (n > stop) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::string NeverRead(const std::vector<unsigned>& numbers, const char* verb)
{
    return (numbers.size() == 1 ? "entry " : "entries ") + NumberList(numbers) +
           (numbers.size() == 1 ? " is never " : " are never ") + verb;
}

// A scan that stopped at number stop, before keys that are there: a gap.
void ReportGap(Check& c, const char* section, unsigned stop)
{
    std::vector<unsigned> unread = NumbersAbove(c, section, stop);
    if (unread.empty()) return;
    std::string list = NeverRead(unread, "read");
    if (ReasonAt(c, section, stop) == STOP_EMPTY)
        AddFinding(c.out, LineOf(c, section, KeyText(stop).c_str()), SEVERITY_WARNING,
                   "numbering-gap", "[%s] %u is empty, which ends the list: %s", section, stop,
                   list.c_str());
    else
        AddFinding(c.out, LineOf(c, section, KeyText(unread[0]).c_str()), SEVERITY_WARNING,
                   "numbering-gap", "[%s] has no entry %u, which ends the list: %s", section,
                   stop, list.c_str());
}

// Keys that look like numbers but are not written as the program asks for them.
void CheckKeyNumbers(Check& c, const char* section, unsigned highest)
{
    const InfSection* s = Section(c, section);
    if (!s) return;
    for (size_t i = 0; i < s->keys.size(); i++) {
        const InfKey& key = s->keys[i];
        if (!LooksNumbered(key.name)) continue;
        unsigned n = ProgramNumber(key.name);
        if (!n)
            AddFinding(c.out, key.line, SEVERITY_WARNING, "numbering-gap",
                       "[%s] key \"%s\" is never read: entries are numbered 1, 2, 3 and so on, "
                       "without leading zeros or signs",
                       section, key.name.c_str());
        else if (n > highest)
            AddFinding(c.out, key.line, SEVERITY_WARNING, "numbering-gap",
                       "[%s] %u is never read: only entry %u is used", section, n, highest);
    }
}

// What the core's scans read: the numbered values of one section, as the program reads
// them. lastRead tells which number a scan looked at last.
struct NumberedSource {
    const Check* check;
    const char* section;
    unsigned lastRead;
};

unsigned ReadNumbered(void* context, unsigned n, char* buffer, unsigned size)
{
    NumberedSource* source = static_cast<NumberedSource*>(context);
    source->lastRead = n;
    const InfText& text = *source->check->in.text;
    std::string value = ReadValue(text, source->section, FormatEntryKey(n), size);
    memcpy(buffer, value.c_str(), value.size() + 1);
    return (unsigned)value.size();
}

std::string ReadEntry(const Check& c, const char* section, unsigned n)
{
    return ReadValue(*c.in.text, section, FormatEntryKey(n), kPathSize);
}

// ---- [Install] entries and Open ----

void CheckFileEntry(Check& c, unsigned n)
{
    const InfKey* key = FindKey(Section(c, kInstall), KeyText(n).c_str());
    CheckLength(c, kInstall, key, kPathSize);
    std::string value = ReadEntry(c, kInstall, n);
    // Resolved below no folder, the entry gives its source and its relative destination.
    char source[kPathSize];
    char relative[kPathSize];
    char target[kPathSize];
    int offset;
    memcpy(source, value.c_str(), value.size() + 1);
    ResolveInstallValue(source, "", relative, sizeof relative, &offset);
    std::string what = "[Install] " + KeyText(n);
    int line = LineOf(c, kInstall, KeyText(n).c_str());
    if (!c.in.sourceExists(source, c.in.codePage, c.in.context))
        AddFinding(c.out, line, SEVERITY_ERROR, "missing-source",
                   "%s: source \"%s\" is not in the package folder", what.c_str(), source);
    if (!*relative)
        AddFinding(c.out, line, SEVERITY_ERROR, "leaves-folder",
                   "%s: the destination after the comma is empty; the copy would fail",
                   what.c_str());
    else if (LeavesFolder(relative))
        AddFinding(c.out, line, SEVERITY_ERROR, "leaves-folder",
                   "%s: destination \"%s\" leaves the installation folder", what.c_str(),
                   relative);
    memcpy(source, value.c_str(), value.size() + 1);
    if (!c.destFolder.empty() &&
        !ResolveInstallValue(source, c.destFolder.c_str(), target, sizeof target, &offset))
        ReportPathLength(c, line, what.c_str(), relative);
    int earlier = InstalledAs(c, relative);
    if (earlier != -2)
        AddFinding(c.out, line, SEVERITY_WARNING, "same-destination",
                   "%s: destination \"%s\" is also the destination of %s", what.c_str(),
                   relative, EntryName(earlier).c_str());
    c.installed.push_back(relative);
    c.installedEntry.push_back((int)n);
}

void CheckFileEntries(Check& c)
{
    c.installed.push_back("INSTALL.EXE");
    c.installedEntry.push_back(-1);
    c.installed.push_back(c.in.infName);
    c.installedEntry.push_back(0);
    // A language file is renamed to the regular name once it is installed.
    c.installed.push_back("INSTALL.INF");
    c.installedEntry.push_back(0);
    NumberedSource source = {&c, kInstall, 0};
    unsigned count = (unsigned)CountInstallEntries(ReadNumbered, &source);
    for (unsigned n = 1; n <= count; n++) CheckFileEntry(c, n);
    CheckKeyNumbers(c, kInstall, ~0u);
    unsigned stop = count + 1;
    if (ReasonAt(c, kInstall, stop) == STOP_SHAPE) {
        std::vector<unsigned> unread = NumbersAbove(c, kInstall, stop);
        unread.insert(unread.begin(), stop);
        AddFinding(c.out, LineOf(c, kInstall, KeyText(stop).c_str()), SEVERITY_WARNING,
                   "leading-comma",
                   "[Install] %u begins with a comma, which ends the list of files: %s", stop,
                   NeverRead(unread, "installed").c_str());
    } else {
        ReportGap(c, kInstall, stop);
    }
    if (count == 0)
        AddFinding(c.out, LineOf(c, kInstall, NULL), SEVERITY_WARNING, "no-entries",
                   "[Install] lists no files: only the installer and this file are installed, "
                   "and the shortcut leads to the folder");
}

// 1 for an address such as https://… or mailto:…, which the shell opens on its own.
int IsAddress(const std::string& value)
{
    return value.find("://") != std::string::npos || value.compare(0, 7, "mailto:") == 0;
}

void CheckOpen(Check& c)
{
    const InfKey* key = FindKey(Section(c, kInstall), "Open");
    CheckLength(c, kInstall, key, kPathSize);
    std::string open = ReadValue(*c.in.text, kInstall, "Open", kPathSize);
    if (open.empty() || IsAddress(open) || InstalledAs(c, open) != -2) return;
    AddFinding(c.out, LineOf(c, kInstall, "Open"), SEVERITY_WARNING, "open-not-installed",
               "[Install] Open \"%s\" names no installed file", open.c_str());
}

// ---- [Group] ----

void CheckGroupEntry(Check& c, unsigned n, std::vector<std::string>* captions)
{
    const InfKey* key = FindKey(Section(c, kGroup), KeyText(n).c_str());
    CheckLength(c, kGroup, key, kPathSize);
    std::string value = ReadEntry(c, kGroup, n);
    char caption[kPathSize];
    char rest[kPathSize];
    char target[kPathSize];
    int offset;
    memcpy(caption, value.c_str(), value.size() + 1);
    ResolveGroupValue(caption, "", rest, sizeof rest, &offset);
    std::string what = "[Group] " + KeyText(n);
    int line = LineOf(c, kGroup, KeyText(n).c_str());
    // The target runs to the next comma; arguments may follow it.
    std::string path = rest;
    if (const char* arguments = FindCharDbcs(rest, ',')) path.resize(arguments - rest);
    if (LeavesFolder(path.c_str()))
        AddFinding(c.out, line, SEVERITY_ERROR, "leaves-folder",
                   "%s: target \"%s\" leaves the installation folder", what.c_str(),
                   path.c_str());
    else if (InstalledAs(c, path) == -2)
        AddFinding(c.out, line, SEVERITY_WARNING, "target-not-installed",
                   "%s: target \"%s\" names no installed file", what.c_str(), path.c_str());
    char again[kPathSize];
    memcpy(again, value.c_str(), value.size() + 1);
    if (!c.destFolder.empty() &&
        !ResolveGroupValue(again, c.destFolder.c_str(), target, sizeof target, &offset))
        ReportPathLength(c, line, what.c_str(), rest);
    std::string folded = Folded(caption);
    for (size_t i = 0; i < captions->size(); i++)
        if ((*captions)[i] == folded)
            AddFinding(c.out, line, SEVERITY_WARNING, "same-destination",
                       "%s: caption \"%s\" is also the caption of [Group] %u; both shortcuts "
                       "are the same file",
                       what.c_str(), caption, (unsigned)(i + 1));
    captions->push_back(folded);
}

// Why a [Group] value that looks like the uninstall item is not found: the search ends
// at the first empty entry, and it takes install.exe,/r only in small letters.
std::string WhyNoUninstallItem(const Check& c)
{
    const InfSection* s = Section(c, kGroup);
    if (!s) return "";
    for (size_t i = 0; i < s->keys.size(); i++) {
        const InfKey& key = s->keys[i];
        if (key.value.find(kUninstallCommand) != std::string::npos)
            return " ([Group] " + key.name + " holds one, but the search for it ends at the "
                   "first empty entry)";
        if (Folded(key.value).find(Folded(kUninstallCommand)) != std::string::npos)
            return " ([Group] " + key.name + " writes install.exe,/r in capitals, which the "
                   "program does not take for it)";
    }
    return "";
}

void CheckUninstallItem(Check& c)
{
    NumberedSource source = {&c, kGroup, 0};
    char name[kPathSize];
    if (!FindUninstallItem(ReadNumbered, &source, name, sizeof name)) {
        AddFinding(c.out, LineOf(c, kGroup, NULL), SEVERITY_WARNING, "no-uninstall-item",
                   "[Group] has no uninstall item (a caption, then install.exe,/r in lower "
                   "case); users will need Add/Remove Programs in the Control Panel to "
                   "uninstall%s",
                   WhyNoUninstallItem(c).c_str());
        return;
    }
    unsigned n = source.lastRead;
    std::string value = ReadEntry(c, kGroup, n);
    const std::string ending = std::string(",") + kUninstallCommand;
    if (value.size() >= ending.size() &&
        value.compare(value.size() - ending.size(), ending.size(), ending) == 0)
        return;
    AddFinding(c.out, LineOf(c, kGroup, KeyText(n).c_str()), SEVERITY_WARNING,
               "uninstall-item",
               "[Group] %u does not end in \",install.exe,/r\": the closing hint names the "
               "uninstall item \"%s\"",
               n, name);
}

void CheckGroup(Check& c)
{
    NumberedSource source = {&c, kGroup, 0};
    unsigned count = (unsigned)CountGroupEntries(ReadNumbered, &source);
    std::vector<std::string> captions;
    for (unsigned n = 1; n <= count; n++) CheckGroupEntry(c, n, &captions);
    CheckKeyNumbers(c, kGroup, ~0u);
    unsigned stop = count + 1;
    if (ReasonAt(c, kGroup, stop) == STOP_SHAPE) {
        std::vector<unsigned> unread = NumbersAbove(c, kGroup, stop);
        unread.insert(unread.begin(), stop);
        std::string value = ReadEntry(c, kGroup, stop);
        AddFinding(c.out, LineOf(c, kGroup, KeyText(stop).c_str()), SEVERITY_WARNING,
                   "group-no-comma",
                   "[Group] %u \"%s\" has %s, which ends the list of shortcuts: %s", stop,
                   value.c_str(), FindCharDbcs(value.c_str(), ',') ? "no caption" : "no comma",
                   NeverRead(unread, "made").c_str());
    } else {
        ReportGap(c, kGroup, stop);
    }
    CheckUninstallItem(c);
}

// ---- [Working Folder] and [Reg] ----

void CheckWorkingFolder(Check& c)
{
    CheckLength(c, kWorkFolder, FindKey(Section(c, kWorkFolder), "1"), kWorkFolderSize);
    CheckKeyNumbers(c, kWorkFolder, 1);
}

// The root names of [Reg] values, for the messages about them.
const char* const kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT"};

// A value the program refuses: a root name alone, in another case, or none at all.
void ReportBadRegValue(Check& c, unsigned n, int line, const std::string& value)
{
    for (unsigned i = 0; i < 3; i++) {
        size_t length = strlen(kRootNames[i]);
        std::string start = value.substr(0, length);
        if (start == kRootNames[i]) {
            AddFinding(c.out, line, SEVERITY_ERROR, "reg-root",
                       "[Reg] %u: \"%s\" names a root without a key below it; %s", n,
                       value.c_str(), kAbnormalReg);
            return;
        }
        if (start.size() == length && Folded(start) == Folded(kRootNames[i])) {
            AddFinding(c.out, line, SEVERITY_ERROR, "reg-root",
                       "[Reg] %u: root \"%s\" must be written \"%s\"; %s", n, start.c_str(),
                       kRootNames[i], kAbnormalReg);
            return;
        }
    }
    AddFinding(c.out, line, SEVERITY_ERROR, "reg-root",
               "[Reg] %u: \"%s\" starts with no root name (HKEY_CURRENT_USER, "
               "HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT); %s",
               n, value.c_str(), kAbnormalReg);
}

void CheckRegEntry(Check& c, unsigned n)
{
    const InfKey* key = FindKey(Section(c, kReg), KeyText(n).c_str());
    CheckLength(c, kReg, key, kPathSize);
    std::string value = ReadEntry(c, kReg, n);
    int line = LineOf(c, kReg, KeyText(n).c_str());
    RegRoot root;
    const char* subKey;
    if (!ParseRegValue(value.c_str(), &root, &subKey)) {
        ReportBadRegValue(c, n, line, value);
        return;
    }
    if (subKey[-1] != '\\')
        AddFinding(c.out, line, SEVERITY_WARNING, "reg-separator",
                   "[Reg] %u: \"%c\" after the root name is taken for a backslash", n,
                   subKey[-1]);
    // One key straight below HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE holds many
    // applications' keys ("/" is a letter of a key's name, so it does not count).
    if (root != REG_ROOT_CLASSES_ROOT && !FindCharDbcs(subKey, '\\') &&
        !FindCharDbcs(subKey, '/'))
        AddFinding(c.out, line, SEVERITY_WARNING, "reg-broad",
                   "[Reg] %u: the uninstaller deletes the whole key \"%s\" with every key "
                   "below it, including other applications' keys",
                   n, value.c_str());
}

void CheckReg(Check& c)
{
    NumberedSource source = {&c, kReg, 0};
    unsigned count = (unsigned)CountRegEntries(ReadNumbered, &source);
    for (unsigned n = 1; n <= count; n++) CheckRegEntry(c, n);
    CheckKeyNumbers(c, kReg, ~0u);
    ReportGap(c, kReg, count + 1);
}

// ---- the file as a whole ----

// Sections the program reads and the keys it knows in them.
int IsKnownKey(const char* section, const InfKey& key)
{
    if (LooksNumbered(key.name)) return 1;
    if (!SameNameIgnoringCase(section, kInstall)) return 0;
    static const char* const kNamed[] = {"Title", "Folder", "TSR", "Open"};
    for (unsigned i = 0; i < 4; i++)
        if (SameNameIgnoringCase(key.name.c_str(), kNamed[i])) return 1;
    return 0;
}

void CheckLayout(Check& c)
{
    static const char* const kSections[] = {kInstall, kGroup, kWorkFolder, kReg};
    const std::vector<InfSection>& sections = c.in.text->sections;
    for (size_t i = 0; i < sections.size(); i++) {
        const InfSection& s = sections[i];
        const char* known = NULL;
        for (unsigned k = 0; k < 4; k++)
            if (SameNameIgnoringCase(s.name.c_str(), kSections[k])) known = kSections[k];
        if (!s.wellFormed) {
            AddFinding(c.out, s.line, SEVERITY_WARNING, "syntax",
                       "section header without \"]\"; the program takes it for the end of the "
                       "section before it");
            continue;
        }
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
unsigned Utf8Sequence(const unsigned char* p)
{
    unsigned length = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (p[0] > 0xF4) return 0;
    for (unsigned i = 1; i < length; i++)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return length;
}

// The first line with UTF-8 text when every non-ASCII byte of the file is UTF-8, else 0.
int FirstUtf8Line(const InfText& text)
{
    int first = 0;
    for (size_t n = 0; n < text.lines.size(); n++) {
        const unsigned char* p = (const unsigned char*)text.lines[n].c_str();
        while (*p) {
            if (*p < 0x80) {
                p++;
                continue;
            }
            unsigned length = Utf8Sequence(p);
            if (!length) return 0;
            if (!first) first = (int)n + 1;
            p += length;
        }
    }
    return first;
}

void CheckEncoding(Check& c)
{
    static const char* const kMarks[] = {NULL, "UTF-8", "UTF-16", "UTF-16"};
    if (c.in.text->mark != MARK_NONE)
        AddFinding(c.out, 1, SEVERITY_WARNING, "encoding",
                   "the file starts with a %s byte-order mark; save it in the system code "
                   "page (ANSI), or the first section's name is not found",
                   kMarks[c.in.text->mark]);
    int line = FirstUtf8Line(*c.in.text);
    if (line)
        AddFinding(c.out, line, SEVERITY_WARNING, "encoding",
                   "line %d holds UTF-8 text; the program reads the file in the system code "
                   "page (%u here), so its non-ASCII characters turn into garbage",
                   line, c.in.codePage);
}

}  // namespace

unsigned GuessCodePage(const InfText& text)
{
    if (FirstUtf8Line(text)) return 1252;
    LeadByteTest leadByte = LeadByteTestOfCodePage(932);
    // Shift-JIS shows in double-byte characters whose first byte is 0x81-0x9F: a second
    // byte above 0x80 (kana and kanji), or two such characters in a row. Western text
    // has those bytes only as single typographic signs.
    int japanese = 0;
    for (size_t n = 0; n < text.lines.size(); n++) {
        const unsigned char* p = (const unsigned char*)text.lines[n].c_str();
        int previousLow = 0;  // the character before was double-byte, first byte 0x81-0x9F
        while (*p) {
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
    }
    return japanese ? 932 : 1252;
}

void CheckInf(const CheckInput& input, Findings* findings)
{
    Check c(input, findings);
    CheckEncoding(c);
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
