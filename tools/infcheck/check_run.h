// The state of one run of the checks over a file and the helpers the checks share. Only
// the checker's own files include it.
#pragma once
#include <string>
#include <vector>
#include "checks.h"
#include "core/sizes.h"

struct Check {
    const CheckInput& in;
    Findings* out;
    std::string folder;                    // [Install] Folder as read
    std::string destFolder;                // the proposed destination, "" without a Folder
    int resident;                          // TSR begins with 1
    // Destinations relative to the installation folder, folded (Folded), with the entry
    // that installs each first (-1 the installer, 0 this file).
    NameIndex<int> installed;
    Check(const CheckInput& input, Findings* findings) : in(input), out(findings), resident(0)
    {
    }
};

extern const char kInstall[];
extern const char kGroup[];
extern const char kWorkFolder[];
extern const char kReg[];

// The first section of that name, as the program reads it, or NULL.
const InfSection* Section(const Check& c, const char* name);

// The line to name for section/key: the key's, else the section's, else the first.
int LineOf(const Check& c, const char* section, const char* key);

// Decimal text of n.
std::string KeyText(unsigned n);

// Folded for a comparison without case: ASCII letters lowered, '/' taken as '\', the
// second byte of a double-byte character left alone.
std::string Folded(const std::string& text);

// A value longer than the program's buffer of readSize bytes for it.
void CheckLength(Check& c, const char* section, const InfKey* key, unsigned readSize);

// ---- numbered entries ----

// Value n of section as the program reads it into an entry's buffer.
std::string ReadEntry(const Check& c, const char* section, unsigned n);

// What the core's scans read through ReadNumbered: the numbered values of one section.
// lastRead tells which number a scan looked at last.
struct NumberedSource {
    const Check* check;
    const char* section;
    unsigned lastRead;
};
unsigned ReadNumbered(void* context, unsigned n, char* buffer, unsigned size);

// Entry n of [Install] or [Group], resolved as the program resolves it.
typedef int (*EntryResolver)(char* value, const char* destFolder, char* target,
                             unsigned targetSize, int* relative);
struct ResolvedEntry {
    std::string what;  // "[Install] 2", for the messages
    int line;
    char name[kPathSize];  // the source, or the caption
    char rest[kPathSize];  // the destination, or the target and its arguments
};

// Resolves entry n; reports a value too long and a path too long below the proposed
// destination.
void ResolveNumberedEntry(Check& c, const char* section, unsigned n, EntryResolver resolve,
                          ResolvedEntry* entry);

// 1 for a key made of digits only (a sign in front counts too): a number the author meant.
int LooksNumbered(const std::string& name);

// What ended a scan at the number where it stopped.
enum StopReason { STOP_MISSING, STOP_EMPTY, STOP_SHAPE };
StopReason ReasonAt(const Check& c, const char* section, unsigned n);

// The keys of section written as the program writes numbers, above stop, in order.
std::vector<unsigned> NumbersAbove(const Check& c, const char* section, unsigned stop);

// "entry 4 is never read", "entries 4, 5 are never made".
std::string NeverRead(const std::vector<unsigned>& numbers, const char* verb);

// A scan that stopped at number stop, before keys that are there: a gap.
void ReportGap(Check& c, const char* section, unsigned stop);

// Keys that look like numbers but are not written as the program asks for them, and
// numbers above highest, which the program never asks for.
void CheckKeyNumbers(Check& c, const char* section, unsigned highest);

// ---- destinations and names ----

// The first character that a file or folder name cannot hold (\ / : * ? " < > | and the
// control characters 1 to 31), or 0.
// The second byte of a double-byte character is no such character.
char ForbiddenNameChar(const char* name);

// 1 when a path relative to the installation folder leads out of it.
int LeavesFolder(const char* path);

// Records entry n as installing relative (unless an earlier entry installs it).
void AddInstalled(Check& c, const std::string& relative, int n);

// The entry number of an installed file with that relative destination, or -2.
int InstalledAs(const Check& c, const std::string& relative);

// ---- the checks, one group per part of the file ----

void CheckTitle(Check& c);
void CheckFolder(Check& c);
void CheckTsr(Check& c);
void CheckFileEntries(Check& c);
void CheckOpen(Check& c);
void CheckGroup(Check& c);
void CheckWorkingFolder(Check& c);
void CheckReg(Check& c);
