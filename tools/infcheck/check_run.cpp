// The helpers the checks share: lines, names, lengths, entries read and resolved as the
// program reads them, numbering, destinations.
#include "check_run.h"
#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/sizes.h"

const char kInstall[] = "Install";
const char kGroup[] = "Group";
const char kWorkFolder[] = "Working Folder";
const char kReg[] = "Reg";

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
    std::string folded = CaselessName(text);
    for (char* p = FindCharDbcs(&folded[0], '/'); p; p = FindCharDbcs(p + 1, '/')) *p = '\\';
    return folded;
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

// ---- numbered entries ----

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

void ResolveNumberedEntry(Check& c, const char* section, unsigned n, EntryResolver resolve,
                          ResolvedEntry* entry)
{
    std::string key = KeyText(n);
    CheckLength(c, section, FindKey(Section(c, section), key.c_str()), kPathSize);
    std::string value = ReadEntry(c, section, n);
    entry->what = std::string("[") + section + "] " + key;
    entry->line = LineOf(c, section, key.c_str());
    // Resolved below no folder, the entry gives its two parts.
    int offset;
    entry->rest[0] = 0;
    memcpy(entry->name, value.c_str(), value.size() + 1);
    resolve(entry->name, "", entry->rest, sizeof entry->rest, &offset);
    char again[kPathSize];
    char target[kPathSize];
    memcpy(again, value.c_str(), value.size() + 1);
    if (c.destFolder.empty() ||
        resolve(again, c.destFolder.c_str(), target, sizeof target, &offset))
        return;
    AddFinding(c.out, entry->line, SEVERITY_WARNING, "path-too-long",
               "%s: the proposed destination %s and \"%s\" make %u characters; paths over "
               "%u cannot be installed",
               entry->what.c_str(), c.destFolder.c_str(), entry->rest,
               (unsigned)(c.destFolder.size() + strlen(entry->rest)), (unsigned)kPathSize - 1);
}

// "4", "4, 5" or "4, 5, 7": the numbers of the keys named.
static std::string NumberList(const std::vector<unsigned>& numbers)
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
static unsigned ProgramNumber(const std::string& name)
{
    if (name.empty() || name.size() > 9 || name[0] < '1' || name[0] > '9') return 0;
    for (size_t i = 0; i < name.size(); i++)
        if (name[i] < '0' || name[i] > '9') return 0;
    return (unsigned)strtoul(name.c_str(), NULL, 10);
}

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

// ---- destinations and names ----

char ForbiddenNameChar(const char* name)
{
    for (const char* p = name; *p; p += CharStep(p))
        if (CharStep(p) == 1 && ((unsigned char)*p < 0x20 || strchr("\\/:*?\"<>|", *p)))
            return *p;
    return 0;
}


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

// A destination as the installed map holds it: folded, without leading ".\".
static std::string InstalledKey(const std::string& relative)
{
    std::string folded = Folded(relative);
    size_t dots = 0;
    while (folded.compare(dots, 2, ".\\") == 0) dots += 2;
    return folded.substr(dots);
}

void AddInstalled(Check& c, const std::string& relative, int n)
{
    c.installed.insert(std::make_pair(InstalledKey(relative), n));
}

int InstalledAs(const Check& c, const std::string& relative)
{
    auto found = c.installed.find(InstalledKey(relative));
    return found == c.installed.end() ? -2 : found->second;
}
