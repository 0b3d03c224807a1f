// Deletion of the running program file at the next start: the delayed move of the system,
// or a "NUL=" line in the [Rename] section of WININIT.INI.
#include "uninstall/uninstall.h"
#include "setupinfo/textops.h"
#include "startup/host.h"
#include "startup/session.h"
#include "wizard/paths.h"
#include "base/holders.h"
#include "base/text.h"

enum {
    kBlockSize = 32768,     // the new section, and the list of the old entries
    kSectionLimit = 30000,  // most bytes the old section may take in the new one
    kIniLimit = 0x1000000   // a larger WININIT.INI is not taken on
};

// The working block and how much of it is used.
struct Block {
    char* text;
    unsigned used;
};

// Appends text; 0 when it does not fit with a terminator behind it.
static int Put(Block* block, const char* text)
{
    unsigned length = lstrlenA(text);
    if (block->used + length + 1 > kBlockSize) return 0;
    CopyMemory(block->text + block->used, text, length);
    block->used += length;
    block->text[block->used] = 0;
    return 1;
}

static int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The next line of text at *at, cut out in place (zero-terminated) without its line end
// and surrounding blanks; NULL at the end of the text.
static char* NextLine(char** at)
{
    char* line = *at;
    if (!*line) return NULL;
    char* end = line;
    while (*end && *end != '\n') end++;
    *at = *end ? end + 1 : end;
    while (line < end && IsBlank(*line)) line++;
    while (end > line && IsBlank(end[-1])) end--;
    *end = 0;
    return line;
}

// 1 for the header line of the [Rename] section (any letter case, blanks allowed).
static int IsRenameHeader(const char* line)
{
    if (*line++ != '[') return 0;
    while (IsBlank(*line)) line++;
    for (const char* name = "rename"; *name; name++, line++)
        if ((*line | 0x20) != *name) return 0;
    while (IsBlank(*line)) line++;
    return *line == ']';
}

// Drops the blanks around the first "=" of an entry in place, as the profile interface
// reads name and value.
static void NormaliseEntry(char* line)
{
    char* equals = FindCharDbcs(line, '=');
    if (!equals) return;
    const char* value = equals + 1;
    while (IsBlank(*value)) value++;
    char* nameEnd = equals;
    while (nameEnd > line && IsBlank(nameEnd[-1])) nameEnd--;
    *nameEnd = '=';
    MoveMemory(nameEnd + 1, value, lstrlenA(value) + 1);
}

// Fills the section with "[Rename]" and every entry of the first [Rename] section of
// text, in the order of the file (entries sharing a name each keep their own value), and
// the list with the same entries, each ending in a zero byte. 0 when the entries take
// more than the limit. *found tells whether the section exists.
static int CollectEntries(char* text, Block* section, Block* list, int* found)
{
    *found = 0;
    if (!Put(section, "[Rename]\r\n")) return 0;
    char* at = text;
    char* line;
    while ((line = NextLine(&at)) != NULL) {
        if (!*found) {
            *found = IsRenameHeader(line);
            continue;
        }
        if (*line == '[') break;
        if (!*line) continue;
        NormaliseEntry(line);
        if (!Put(section, line) || !Put(section, "\r\n") || section->used > kSectionLimit ||
            !Put(list, line))
            return 0;
        if (++list->used >= kBlockSize) return 0;  // past the entry's zero byte
    }
    return 1;
}

// Reads WININIT.INI and collects its old [Rename] entries. 0 when the file cannot be read
// or the entries are too many: then nothing is changed. A file that is not there has no
// entries (*missing is set); the system processes and renames it at every start.
static int ReadOldSection(const char* ini, Block* section, Block* list, int* found, int* missing)
{
    *missing = 0;
    FileHandle file(CreateFileA(ini, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL));
    if (!file.Valid()) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return 0;
        *missing = 1;
        char none[1] = "";
        return CollectEntries(none, section, list, found);
    }
    DWORD size = GetFileSize(file.Get(), NULL);
    if (size == INVALID_FILE_SIZE || size > kIniLimit) return 0;
    GlobalBlock text(size + 1);
    DWORD got = 0;
    if (!text.Get() || !ReadFile(file.Get(), text.Get(), size, &got, NULL) || got != size)
        return 0;
    text.Get()[size] = 0;
    // The end mark of a text file (never part of a double-byte character) is taken only as
    // the file's last byte. Before other text, whether the profile functions of a system
    // stop at it or read on is not known, so entries could be removed that were never
    // collected: such a file is left as it is.
    for (DWORD i = 0; i < size; i++)
        if (text.Get()[i] == 0x1A) {
            if (i + 1 != size) return 0;
            text.Get()[i] = 0;
        }
    return CollectEntries(text.Get(), section, list, found);
}

static int CanOpenForWriting(const char* ini)
{
    OFSTRUCT info;
    HFILE file = OpenFile(ini, &info, OF_READWRITE);
    if (file == HFILE_ERROR) return 0;
    _lclose(file);
    return 1;
}

int WriteSectionAtEnd(HFILE file, const char* text, unsigned length)
{
    LONG size = _llseek(file, 0, FILE_END);
    if (size == HFILE_ERROR) return 0;  // the block would land on the file's first bytes
    char tail[2] = {'\n', '\n'};
    if (size >= 2 && _llseek(file, size - 2, FILE_BEGIN) != HFILE_ERROR)
        _lread(file, tail, 2);
    else if (size == 1 && _llseek(file, 0, FILE_BEGIN) != HFILE_ERROR)
        _lread(file, tail + 1, 1);
    LONG at = size;
    char last = tail[1];
    if (size > 0 && tail[1] == 0x1A) {
        at = size - 1;
        last = size > 1 ? tail[0] : '\n';
    }
    int written = _llseek(file, at, FILE_BEGIN) == at;
    if (written && size > 0 && last != '\n') written = _lwrite(file, "\r\n", 2) == 2;
    if (written) written = _lwrite(file, text, length) == length;
    return written;
}

static int AppendSection(const char* ini, const Block* section)
{
    OFSTRUCT info;
    HFILE file = OpenFile(ini, &info, OF_READWRITE);
    if (file == HFILE_ERROR) return 0;
    int written = WriteSectionAtEnd(file, section->text, section->used);
    _lclose(file);
    return written;
}

// A WININIT.INI made anew holds only the section. Never over a file made meanwhile.
static void CreateWithSection(const char* ini, const Block* section)
{
    FileHandle file(CreateFileA(ini, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                NULL));
    DWORD written = 0;
    if (file.Valid()) WriteFile(file.Get(), section->text, section->used, &written, NULL);
}

void ScheduleDeleteAtRestart(const char* path)
{
    if (host.moveFileEx(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    char ini[kPathSize];
    char shortPath[kPathSize];
    UINT length = GetWindowsDirectoryA(ini, sizeof ini);
    if (!length || length >= sizeof ini || !AppendBackslash(ini, sizeof ini) ||
        !AppendText(ini, sizeof ini, "WININIT.INI"))
        return;
    length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (!length || length >= sizeof shortPath) return;

    GlobalBlock sectionBlock(kBlockSize);
    GlobalBlock listBlock(kBlockSize);
    if (!sectionBlock.Get() || !listBlock.Get()) return;
    Block section = {sectionBlock.Get(), 0};
    Block list = {listBlock.Get(), 0};
    // Entries that other programs wrote through the profile functions may still wait in
    // the profile cache (on 9x it is shared and written late): the file is made current
    // before it is read, so that none of them is lost with the old section.
    host.writeProfileString(NULL, NULL, NULL, ini);
    int found = 0;
    int missing = 0;
    if (!ReadOldSection(ini, &section, &list, &found, &missing)) return;
    if (!Put(&section, "NUL=") || !Put(&section, shortPath) || !Put(&section, "\r\n")) return;
    list.text[list.used] = 0;  // the list ends with an empty entry
    if (missing) {
        CreateWithSection(ini, &section);
        return;
    }

    // The old section is removed only from a file that can be written again right after.
    if (!CanOpenForWriting(ini)) return;
    host.writeProfileString("Rename", NULL, NULL, ini);
    host.writeProfileString(NULL, NULL, NULL, ini);
    if (AppendSection(ini, &section) || !found) return;
    // The direct write failed after all: the old entries go back through the profile interface.
    WritePrivateProfileSectionA("Rename", list.text, ini);
    host.writeProfileString(NULL, NULL, NULL, ini);
}
