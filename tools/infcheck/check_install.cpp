// The checks of [Install]: Title, Folder, TSR, the file entries and Open.
#include "check_run.h"
#include <string.h>
#include "core/dbcs.h"
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/sizes.h"

enum { kTsrSize = 10 };  // the program reads [Install] TSR into 10 bytes

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
    if (char bad = ForbiddenNameChar(title.c_str()))
        AddFinding(c.out, line, SEVERITY_WARNING, "file-name",
                   "[Install] Title \"%s\" holds \"%c\", which a file name cannot hold: the "
                   "start-menu group and the shortcuts named after the title are not made",
                   title.c_str(), bad);
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
    if (char bad = ForbiddenNameChar(c.folder.c_str()))
        AddFinding(c.out, line, SEVERITY_WARNING, "file-name",
                   "[Install] Folder \"%s\" holds \"%c\", which a folder name cannot hold: "
                   "the proposed destination cannot be made",
                   c.folder.c_str(), bad);
    char proposed[kPathSize];
    if (ProposeDestination("C:\\WINDOWS", c.folder.c_str(), proposed, sizeof proposed))
        c.destFolder = proposed;
}

void CheckTsr(Check& c)
{
    const InfKey* key = FindKey(Section(c, kInstall), "TSR");
    CheckLength(c, kInstall, key, kTsrSize);
    std::string tsr = ReadValue(*c.in.text, kInstall, "TSR", kTsrSize);
    c.resident = tsr[0] == '1';
    if (!tsr.empty() && tsr[0] != '0' && tsr[0] != '1')
        AddFinding(c.out, LineOf(c, kInstall, "TSR"), SEVERITY_WARNING, "tsr",
                   "[Install] TSR \"%s\" does not begin with 1, so the application is not "
                   "resident (write 1 for resident, 0 for not)",
                   tsr.c_str());
}
// The names an entry's destination is compared with in messages.
static std::string EntryName(int n)
{
    if (n == -1) return "the installer INSTALL.EXE";
    if (n == 0) return "this setup information file";
    return "entry " + KeyText((unsigned)n);
}

static void CheckFileEntry(Check& c, unsigned n)
{
    ResolvedEntry entry;
    ResolveNumberedEntry(c, kInstall, n, ResolveInstallValue, &entry);
    const char* what = entry.what.c_str();
    // A drive, a leading backslash or ".." beyond the top: the program copies whatever
    // the name finds from the source folder on, inside the package or not.
    if (LeavesFolder(entry.name))
        AddFinding(c.out, entry.line, SEVERITY_ERROR, "source-outside",
                   "%s: source \"%s\" lies outside the package folder; the program would copy "
                   "whatever is found there",
                   what, entry.name);
    else if (!c.in.sourceExists(entry.name, c.in.codePage, c.in.context))
        AddFinding(c.out, entry.line, SEVERITY_ERROR, "missing-source",
                   "%s: source \"%s\" is not in the package folder", what, entry.name);
    if (!entry.rest[0])
        AddFinding(c.out, entry.line, SEVERITY_ERROR, "leaves-folder",
                   "%s: the destination after the comma is empty; the copy would fail", what);
    else if (LeavesFolder(entry.rest))
        AddFinding(c.out, entry.line, SEVERITY_ERROR, "leaves-folder",
                   "%s: destination \"%s\" leaves the installation folder", what, entry.rest);
    int earlier = InstalledAs(c, entry.rest);
    if (earlier != -2)
        AddFinding(c.out, entry.line, SEVERITY_WARNING, "same-destination",
                   "%s: destination \"%s\" is also the destination of %s", what, entry.rest,
                   EntryName(earlier).c_str());
    AddInstalled(c, entry.rest, (int)n);
}

void CheckFileEntries(Check& c)
{
    AddInstalled(c, "INSTALL.EXE", -1);
    AddInstalled(c, c.in.infName, 0);
    // A language file is renamed to the regular name once it is installed.
    AddInstalled(c, "INSTALL.INF", 0);
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
static int IsAddress(const std::string& value)
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

