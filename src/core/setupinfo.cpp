// The rules of the setup information file over plain buffers.
#include "core/setupinfo.h"
#include <stddef.h>
#include "core/dbcs.h"
#include "core/ini_lines.h"
#include "core/sizes.h"
#include "core/text.h"

const char* FormatEntryKey(unsigned n)
{
    static char key[16];
    FormatText(key, sizeof key, "%u", n);
    return key;
}

unsigned SectionFromText(const char* text, unsigned length, const char* name, char* block,
                         unsigned size)
{
    if (size < 1) return 0;
    block[0] = 0;
    unsigned used = 0;
    IniCursor at = {text, text + length};
    IniLine line;
    int inside = 0;
    while (NextIniLine(&at, &line)) {
        if (IsSectionHeader(line)) {
            if (inside) break;
            inside = IsHeaderOf(line, name);
            continue;
        }
        if (!inside || line.begin == line.end || *line.begin == ';') continue;
        // Room for the entry's zero byte and the list's end behind it.
        int n = size - used >= 2 ? PutNormalisedEntry(line, block + used, size - used - 2) : -1;
        if (n < 0) {
            block[0] = 0;
            return 0;
        }
        // A zero byte ends the entry, as it ends a string of the profile interface.
        for (int i = 0; i < n; i++)
            if (!block[used + i]) n = i;
        if (n == 0) continue;  // an empty entry would end the list
        used += (unsigned)n;
        block[used++] = 0;
        block[used] = 0;
    }
    return used + 1;
}

static const char* SkipBlanks(const char* text)
{
    while (IsIniBlank(*text)) text++;
    return text;
}

// The name of the entry at entry: from its first non-blank byte to its "=" (or its end),
// less blanks; *equals is its "=" or NULL.
static const char* EntryName(const char* entry, const char** nameEnd, const char** equals)
{
    const char* name = SkipBlanks(entry);
    *equals = FindCharDbcs(name, '=');
    *nameEnd = *equals ? *equals : name + TextLength(name);
    while (*nameEnd > name && IsIniBlank((*nameEnd)[-1])) (*nameEnd)--;
    return name;
}

const char* UnquotedValue(const char* value, unsigned* length)
{
    // Quotes are single bytes, never the second byte of a character.
    if (*length > 1 && (value[0] == '"' || value[0] == '\'') && value[*length - 1] == value[0]) {
        *length -= 2;
        return value + 1;
    }
    return value;
}

// The value behind equals (NULL: a key without "=", an empty value).
static void ReadEntryValue(const char* equals, char* buffer, unsigned size)
{
    if (size) buffer[0] = 0;
    if (!equals) return;
    const char* value = SkipBlanks(equals + 1);
    unsigned length = TextLength(value);
    // Blanks are single bytes, never the second byte of a character.
    while (length && IsIniBlank(value[length - 1])) length--;
    value = UnquotedValue(value, &length);
    CopyText(buffer, size, value);
    if (length < TextLength(buffer)) buffer[length] = 0;
}

void ReadSectionValue(const char* section, const char* key, char* buffer, unsigned size)
{
    if (size) buffer[0] = 0;
    for (const char* entry = section; *entry; entry += TextLength(entry) + 1) {
        const char *nameEnd, *equals;
        const char* name = EntryName(entry, &nameEnd, &equals);
        if (!IsWordIgnoringCase(name, (unsigned)(nameEnd - name), key)) continue;
        ReadEntryValue(equals, buffer, size);
        return;
    }
}

unsigned SectionEntryNumber(const char* entry, unsigned limit)
{
    const char *nameEnd, *equals;
    const char* name = EntryName(entry, &nameEnd, &equals);
    if (name == nameEnd || *name == '0') return 0;
    unsigned n = 0;
    for (; name < nameEnd; name++) {
        if (*name < '0' || *name > '9') return 0;
        n = n * 10 + (unsigned)(*name - '0');
        if (n > limit) return 0;
    }
    return n;
}

const char* SectionEntryName(const char* entry, unsigned* length)
{
    const char *nameEnd, *equals;
    const char* name = EntryName(entry, &nameEnd, &equals);
    *length = (unsigned)(nameEnd - name);
    return name;
}

void ReadSectionEntry(const char* entry, char* buffer, unsigned size)
{
    const char *nameEnd, *equals;
    EntryName(entry, &nameEnd, &equals);
    ReadEntryValue(equals, buffer, size);
}

// target := destFolder + name; left empty when the whole path does not fit.
static int SetTarget(const char* destFolder, const char* name, char* target, unsigned targetSize,
                     int* relative)
{
    CopyText(target, targetSize, destFolder);
    *relative = (int)TextLength(target);
    if (AppendText(target, targetSize, name)) return 1;
    if (targetSize) target[0] = 0;
    *relative = 0;
    return 0;
}

int ResolveInstallValue(char* value, const char* destFolder, char* target, unsigned targetSize,
                        int* relative)
{
    char* comma = FindCharDbcs(value, ',');
    if (!comma) return SetTarget(destFolder, value, target, targetSize, relative);
    *comma = 0;
    return SetTarget(destFolder, comma + 1, target, targetSize, relative);
}

int ResolveGroupValue(char* value, const char* destFolder, char* target, unsigned targetSize,
                      int* relative)
{
    char* comma = FindCharDbcs(value, ',');
    if (!comma) {
        value[0] = 0;
        return 1;
    }
    *comma = 0;
    return SetTarget(destFolder, comma + 1, target, targetSize, relative);
}

// Counts values from 1 on until the first whose name (the text in front of its first comma)
// is empty; with needsComma, a value without a comma ends the count too.
static int CountNamed(NumberedReader read, void* context, int needsComma)
{
    char value[kPathSize];
    for (int count = 0;; count++) {
        read(context, (unsigned)count + 1, value, sizeof value);
        const char* comma = FindCharDbcs(value, ',');
        if ((needsComma && !comma) || comma == value || !value[0]) return count;
    }
}

int CountInstallEntries(NumberedReader read, void* context)
{
    return CountNamed(read, context, 0);
}

int CountGroupEntries(NumberedReader read, void* context)
{
    return CountNamed(read, context, 1);
}

int CountRegEntries(NumberedReader read, void* context)
{
    char value[kPathSize];
    int count = 0;
    while (read(context, (unsigned)count + 1, value, sizeof value)) count++;
    return count;
}

enum { kUninstallTailSize = 15 };  // ",install.exe,/r"

void TakeItemName(char* value)
{
    unsigned length = TextLength(value);
    if (length < kUninstallTailSize) return;
    unsigned cut = length - kUninstallTailSize;
    if (cut > 0 && IsTrailByteAt(value, cut)) cut--;
    value[cut] = 0;
}

int FindUninstallItem(NumberedReader read, void* context, char* name, unsigned size)
{
    char value[kPathSize];
    for (unsigned n = 1;; n++) {
        if (read(context, n, value, sizeof value) == 0) return 0;
        if (ContainsText(value, "install.exe,/r")) break;
    }
    TakeItemName(value);
    CopyText(name, size, value);
    return 1;
}

void ComposeUninstallHint(const char* format, const char* name, char* out, unsigned size)
{
    unsigned fixed = TextLength(format) - 2;  // without "%s"
    char shortened[kPathSize];
    unsigned room = sizeof shortened;
    if (size > fixed && size - fixed < room) room = size - fixed;
    CopyText(shortened, room, name);
    FormatText(out, size, format, shortened);
}

// 1 when text begins with prefix, compared byte for byte (case matters).
static int StartsWith(const char* text, const char* prefix)
{
    while (*prefix)
        if (*text++ != *prefix++) return 0;
    return 1;
}

int ParseRegValue(const char* value, RegRoot* root, const char** subKey)
{
    static const struct {
        const char* name;
        RegRoot root;
    } roots[] = {
        {"HKEY_CURRENT_USER", REG_ROOT_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", REG_ROOT_LOCAL_MACHINE},
        {"HKEY_CLASSES_ROOT", REG_ROOT_CLASSES_ROOT},
    };
    for (unsigned i = 0; i < sizeof roots / sizeof roots[0]; i++) {
        if (!StartsWith(value, roots[i].name)) continue;
        const char* rest = value + TextLength(roots[i].name);
        // The separator is skipped unseen; behind it a sub-key must follow.
        if (!rest[0] || !rest[1] || rest[1] == '\\') return 0;
        *root = roots[i].root;
        *subKey = rest + 1;
        return 1;
    }
    return 0;
}

int IsUninstallCandidate(const char* command)
{
    return (ContainsText(command, "install.exe") || ContainsText(command, "INSTALL.EXE")) &&
           (ContainsText(command, "/r") || ContainsText(command, "/R"));
}

int FolderOfUninstallString(const char* value, char* folder, unsigned size)
{
    const char* slash = FindLastCharDbcs(value, '\\');
    if (!slash) return 0;
    const char* colon = FindCharDbcs(value, ':');
    // The drive letter stands one character before the colon; a colon that is the first
    // character, or one behind the last backslash, gives no folder.
    if (!colon || colon == value || colon > slash) return 0;
    // The drive letter is a character of its own, not the second byte of one.
    if (IsTrailByteAt(value, (unsigned)(colon - 1 - value))) return 0;
    unsigned length = (unsigned)(slash - (colon - 1)) + 1;
    if (length + 1 > size) return 0;
    const char* drive = colon - 1;
    for (unsigned i = 0; i < length; i++) folder[i] = drive[i];
    folder[length] = 0;
    return 1;
}
