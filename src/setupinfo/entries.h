// Reading the setup information file and resolving its numbered entries.
#pragma once

// Reads key of section from the setup information file (session.infPath), default "".
// Returns the length read.
unsigned ReadInfValue(const char* section, const char* key, char* buffer, unsigned size);

// Runs over many entries read [Install] whole once, between these two calls: the profile
// API looks every key up anew in the file, which grows with the square of the count.
// Without the copy (or when it cannot be had) every entry is read from the file.
// A section too large for the host's read is not held.
void HoldInstallSection();
void ReleaseInstallSection();
// (The value of a key in the held copy: ReadSectionValue of core/setupinfo.h.)

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

// The numbered-entry scans over the setup information file (see core/setupinfo.h):
// the counts of [Install], [Group] and [Reg] entries, and the uninstall item's name.
int CountInstallEntries();
int CountGroupEntries();
int CountRegEntries();
int FindUninstallItem(char* name, unsigned size);

// Entry n of [Group] into session.entryValue (caption) and, when the value has a comma,
// session.entryTarget (destFolder + target and arguments). Returns as ResolveEntry.
int ResolveGroupEntry(int n);
