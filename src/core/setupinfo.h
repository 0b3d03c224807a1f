// Offers: the rules of the setup information file over plain buffers, without system
// calls: a section of INI text in the held form ("key=value" strings, each ended by a
// zero byte, the list by an empty one), a value looked up in a held section, the entry
// resolution of [Install] and [Group] values into name and destination, the numbered-entry
// scans, the uninstall item and the hint composed from its name, the [Reg] value, and the
// folder in an UninstallString.
#pragma once

// Decimal text of n in a shared buffer that stays valid until the next call.
const char* FormatEntryKey(unsigned n);

// Section name of text (length bytes, any bytes allowed) into block in the held form: the
// entries of the first section of that name (letter case ignored), blanks around the
// first "=" dropped, empty lines and ";" comments left out, an entry
// ending at a zero byte. Returns the bytes used
// including the final empty entry, or 0 when block is too small for them (block then
// holds the empty list when size allows). A missing section gives the empty list.
unsigned SectionFromText(const char* text, unsigned length, const char* name, char* block,
                         unsigned size);

// The value of key in section, a held block, into buffer (cut to size, default ""), read
// as the profile interface reads one value on every system: blanks around the key and the
// value do not count, letter case in the key does not count, the first entry of a key
// wins, and one pair of matching quotes around the value goes.
void ReadSectionValue(const char* section, const char* key, char* buffer, unsigned size);

// The number of one entry of a held block when its key is a decimal without leading zeros
// up to limit (as FormatEntryKey writes it, blanks around it not counting); 0 for any other.
unsigned SectionEntryNumber(const char* entry, unsigned limit);

// The name of one entry of a held block, blanks around it not counting: its first byte,
// and its length in *length. ReadSectionValue finds an entry by this name.
const char* SectionEntryName(const char* entry, unsigned* length);

// The value of one entry of a held block, read as ReadSectionValue reads the entry it finds.
void ReadSectionEntry(const char* entry, char* buffer, unsigned size);

// A value (length bytes, its blanks trimmed) without one pair of matching quotes ("..." or
// '...') around it, as the profile interface hands it over: returns where it begins and
// sets *length.
const char* UnquotedValue(const char* value, unsigned* length);

// Entry resolution. value holds an [Install] value "source[,destination]"; it is cut to
// the source in place, and target := destFolder + destination (the source again when
// there is no comma); *relative is the offset in target where the part after destFolder
// begins. Returns 1, or 0 with target empty and *relative 0 when the path does not fit.
int ResolveInstallValue(char* value, const char* destFolder, char* target, unsigned targetSize,
                        int* relative);

// The same for a [Group] value "caption,target and arguments". Without a comma the value
// is emptied (no item) and target is left as it was; returns 1 then.
int ResolveGroupValue(char* value, const char* destFolder, char* target, unsigned targetSize,
                      int* relative);

// Reads value n (1, 2, ...) of one section into buffer; returns its length, 0 when the
// value is empty or missing.
typedef unsigned (*NumberedReader)(void* context, unsigned n, char* buffer, unsigned size);

// The numbered-entry scans: entries count up from 1 until the first that resolves to an
// empty name ([Install]: nothing in front of the comma; [Group]: no comma or nothing in
// front of it).
int CountInstallEntries(NumberedReader read, void* context);
int CountGroupEntries(NumberedReader read, void* context);

// The [Reg] scan: values count up from 1 until the first empty or missing one, whatever
// they hold.
int CountRegEntries(NumberedReader read, void* context);

// The [Group] entry of the uninstall item (a value that holds "install.exe,/r"), looked
// for until the first empty value: 1 with its item name in name (the value without its
// last 15 bytes), 0 when there is none.
int FindUninstallItem(NumberedReader read, void* context, char* name, unsigned size);

// The item name in front of ",install.exe,/r": the value without its last 15 bytes, or the
// whole value when it is shorter. A cut inside a double-byte character drops that character.
void TakeItemName(char* value);

// The hint of the copy page's end, format (with one "%s") filled with the item name. The
// hint keeps its closing text: a name too long for out is shortened instead.
void ComposeUninstallHint(const char* format, const char* name, char* out, unsigned size);

enum RegRoot { REG_ROOT_CURRENT_USER, REG_ROOT_LOCAL_MACHINE, REG_ROOT_CLASSES_ROOT };

// The root key and sub-key of a [Reg] value "HKEY_...\sub\key" (root names in capitals).
// 0 when the value names no root, or only a root: a root key itself is never deleted.
int ParseRegValue(const char* value, RegRoot* root, const char** subKey);

// 1 for an UninstallString that runs an installer of ours: it names install.exe (all small
// or all capital letters) and "/r" (either case).
int IsUninstallCandidate(const char* command);

// The folder part of an UninstallString value (drive letter to last backslash) into
// folder; 0 when there is none (no colon behind a character of its own in front of the
// last backslash) or it does not fit.
int FolderOfUninstallString(const char* value, char* folder, unsigned size);
