// The checks of [Group] (with the uninstall item), [Working Folder] and [Reg].
#include "check_run.h"
#include <string.h>
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/sizes.h"

static const char kUninstallCommand[] = "install.exe,/r";
static const char kAbnormalReg[] =
    "the uninstaller reports \"Found abnormal Reg section.\" and deletes nothing";

// captions: the folded captions so far, each with the first entry that has it.
static void CheckGroupEntry(Check& c, unsigned n, NameIndex<unsigned>* captions)
{
    ResolvedEntry entry;
    ResolveNumberedEntry(c, kGroup, n, ResolveGroupValue, &entry);
    const char* what = entry.what.c_str();
    // The target runs to the next comma; arguments may follow it.
    std::string path = entry.rest;
    if (const char* arguments = FindCharDbcs(entry.rest, ',')) path.resize(arguments - entry.rest);
    if (LeavesFolder(path.c_str()))
        AddFinding(c.out, entry.line, SEVERITY_ERROR, "leaves-folder",
                   "%s: target \"%s\" leaves the installation folder", what, path.c_str());
    else if (InstalledAs(c, path) == -2)
        AddFinding(c.out, entry.line, SEVERITY_WARNING, "target-not-installed",
                   "%s: target \"%s\" names no installed file", what, path.c_str());
    if (char bad = ForbiddenNameChar(entry.name))
        AddFinding(c.out, entry.line, SEVERITY_WARNING, "file-name",
                   "%s: caption \"%s\" holds \"%c\", which a file name cannot hold: the "
                   "shortcut is not made",
                   what, entry.name, bad);
    auto earlier = captions->find(Folded(entry.name));
    if (earlier == captions->end())
        (*captions)[Folded(entry.name)] = n;
    else
        AddFinding(c.out, entry.line, SEVERITY_WARNING, "same-destination",
                   "%s: caption \"%s\" is also the caption of [Group] %u; both shortcuts "
                   "are the same file",
                   what, entry.name, earlier->second);
}

// Why a [Group] value that looks like the uninstall item is not found: the search ends
// at the first empty entry, and it takes install.exe,/r only in small letters.
static std::string WhyNoUninstallItem(const Check& c)
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

static void CheckUninstallItem(Check& c)
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

// A resident application gets one shortcut, in the Startup folder, to [Install] 1; the
// closing hint still names the uninstall item, which it never gets.
static void ReportUnusedGroup(Check& c)
{
    NumberedSource source = {&c, kGroup, 0};
    char name[kPathSize];
    std::string hint;
    if (FindUninstallItem(ReadNumbered, &source, name, sizeof name))
        hint = std::string("; the closing hint still names the uninstall item \"") + name +
               "\", which is not made";
    AddFinding(c.out, LineOf(c, kGroup, NULL), SEVERITY_WARNING, "resident",
               "[Group] is never used: a resident application (TSR 1) gets one shortcut, in "
               "the Startup folder, to [Install] 1%s",
               hint.c_str());
}

void CheckGroup(Check& c)
{
    NumberedSource source = {&c, kGroup, 0};
    unsigned count = (unsigned)CountGroupEntries(ReadNumbered, &source);
    NameIndex<unsigned> captions;
    for (unsigned n = 1; n <= count; n++) CheckGroupEntry(c, n, &captions);
    if (c.resident && count) ReportUnusedGroup(c);
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

void CheckWorkingFolder(Check& c)
{
    CheckLength(c, kWorkFolder, FindKey(Section(c, kWorkFolder), "1"), kWorkFolderSize);
    CheckKeyNumbers(c, kWorkFolder, 1);
    if (c.resident && !ReadValue(*c.in.text, kWorkFolder, "1", kWorkFolderSize).empty())
        AddFinding(c.out, LineOf(c, kWorkFolder, "1"), SEVERITY_WARNING, "resident",
                   "[Working Folder] 1 is never used: the shortcut of a resident application "
                   "(TSR 1) gets no working folder");
}

// The root names of [Reg] values, for the messages about them.
static const char* const kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                         "HKEY_CLASSES_ROOT"};

// A value the program refuses: a root name alone, in another case, or none at all.
static void ReportBadRegValue(Check& c, unsigned n, int line, const std::string& value)
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

static void CheckRegEntry(Check& c, unsigned n)
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
    // applications' keys ("/" is a letter of a key's name, so it does not count). A
    // backslash at the end names the same key: "Software\" is Software.
    std::string named = subKey;
    int trailing = EndsInBackslash(named.c_str());
    while (EndsInBackslash(named.c_str())) DropBackslash(&named[0]);
    if (root != REG_ROOT_CLASSES_ROOT && !FindCharDbcs(named.c_str(), '\\') &&
        !FindCharDbcs(named.c_str(), '/'))
        AddFinding(c.out, line, SEVERITY_WARNING, "reg-broad",
                   "[Reg] %u: the uninstaller deletes the whole key \"%s\" with every key "
                   "below it, including other applications' keys%s",
                   n, value.c_str(),
                   trailing ? " (the backslash at its end does not narrow it)" : "");
}

void CheckReg(Check& c)
{
    NumberedSource source = {&c, kReg, 0};
    unsigned count = (unsigned)CountRegEntries(ReadNumbered, &source);
    for (unsigned n = 1; n <= count; n++) CheckRegEntry(c, n);
    CheckKeyNumbers(c, kReg, ~0u);
    ReportGap(c, kReg, count + 1);
}

