// Reading the setup information file and resolving its numbered entries.
#pragma once

// Reads key of section from the setup information file (session.infPath), default "".
// Returns the length read.
unsigned ReadInfValue(const char* section, const char* key, char* buffer, unsigned size);

// Runs over many entries read [Install] whole once, between these two calls: the profile
// API looks every key up anew in the file, which grows with the square of the count.
// Without the copy (or when it cannot be had) every entry is read from the file.
void HoldInstallSection();
void ReleaseInstallSection();
// 1 while a copy is held (a section too large for the host's read is not held).
int IsInstallSectionHeld();

// The value of key in section, a list of "key=value" strings as the profile API gives a
// section whole (each ended by a zero byte, the list by an empty one), into buffer (cut
// to size, default ""), read as the profile API reads one value on every system: blanks
// around the key and the value do not count, letter case in the key does not count, the
// first entry of a key wins, and one pair of matching quotes around the value goes.
void ReadSectionValue(const char* section, const char* key, char* buffer, unsigned size);

// Holds the [Install] section for the lifetime of the holder.
class InstallSectionHold {
public:
    InstallSectionHold() { HoldInstallSection(); }
    ~InstallSectionHold() { ReleaseInstallSection(); }
    InstallSectionHold(const InstallSectionHold&) = delete;
    InstallSectionHold& operator=(const InstallSectionHold&) = delete;
};

// Entry n of [Install] (-1 the installer, 0 the setup information file) into
// session.entryValue (source name) and session.entryTarget (destFolder + destination name).
// Returns 1, or 0 when destFolder and the name do not fit entryTarget: entryTarget is
// then left empty, never cut.
int ResolveEntry(int n);

// Entry n of [Group] into session.entryValue (caption) and, when the value has a comma,
// session.entryTarget (destFolder + target and arguments). Returns as ResolveEntry.
int ResolveGroupEntry(int n);
