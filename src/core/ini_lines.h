// Offers: the line reading of INI text shared by the section reader and the WININIT.INI
// rewrite. Lines are read by length, so the text needs no terminator and may hold any
// byte. No system calls.
#pragma once

struct IniCursor {
    const char* at;   // start of the next line
    const char* end;  // end of the text
};

struct IniLine {
    const char* start;  // the raw line, its line end included
    const char* stop;
    const char* begin;  // the text without line end and surrounding blanks
    const char* end;
};

// The next line behind the cursor; 0 at the end of the text.
int NextIniLine(IniCursor* cursor, IniLine* line);

// 1 for a line that begins a section (its text begins with "[").
int IsSectionHeader(const IniLine& line);

// 1 for the header of the section name: "[", blanks, the name in any letter case, blanks
// and "]" (what follows the bracket is not looked at).
int IsHeaderOf(const IniLine& line, const char* name);

// The entry of line with the blanks around its first "=" dropped, as the profile interface
// reads name and value, into out (room bytes, no terminator written). Returns its length,
// or -1 when it does not fit.
int PutNormalisedEntry(const IniLine& line, char* out, unsigned room);
