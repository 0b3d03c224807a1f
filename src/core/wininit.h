// Offers: the [Rename] rewrite of WININIT.INI as a function from the old file's bytes to
// the new ones. Lines outside [Rename] keep their bytes; the entries of every [Rename]
// section are gathered, in the order of the file, into one section at the end, followed
// by the new entry. No system calls.
#pragma once

enum {
    kRenameSectionLimit = 30000,  // most bytes the old section may take in the new file
    kRenameRoom = 32768           // what the new file may grow by, the new entry included
};

// The new file for old (oldLength bytes) with entry (a line such as
// "NUL=C:\PROGRA~1\X.EXE", without line end) added to [Rename]. The header and the old
// entries, each with its line end, may take kRenameSectionLimit bytes. An end mark 0x1A
// is dropped as the last byte; before other bytes, whether the profile functions of a
// system stop at it or read on is not known, so such a file is refused. Returns the new
// length, or 0 when refused or out (outSize bytes) cannot hold the result; out then means
// nothing. A last line without its line end gets
// one, so the section starts on a line of its own.
unsigned RewriteRenameSection(const char* old, unsigned oldLength, const char* entry, char* out,
                              unsigned outSize);
