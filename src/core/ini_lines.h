// Offers: the line reading of INI text shared by the section reader and the WININIT.INI
// rewrite, with the rules of the profile functions: a line ends at a carriage return, a
// line feed or both; blanks are trimmed; a section header is a line that begins with "["
// and holds a "]". Lines are read by length, so the text needs no terminator and may hold
// any byte. No system calls.
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

// 1 for the bytes the profile functions take for blanks: tab, line feed, vertical tab,
// form feed, carriage return, 0x1A (the old end-of-file mark) and space. None of them is
// ever the second byte of a double-byte character.
int IsIniBlank(char c);

// The next line behind the cursor; 0 at the end of the text. CR LF ends one line, and so
// does a CR or an LF alone; a CR behind a lead byte is that character's second byte.
int NextIniLine(IniCursor* cursor, IniLine* line);

// The name of a section header: the text between the "[" that begins the line and the
// last "]" of the line (not the second byte of a character), blanks around it not
// counting, up to a zero byte in it. Returns its first byte with its length in *length,
// or NULL for a line that is no header: a "[" without a "]" begins an ordinary line of
// the section it stands in.
const char* SectionHeaderName(const IniLine& line, unsigned* length);

// 1 for a line that begins a section.
int IsSectionHeader(const IniLine& line);

// 1 for the header of the section name, the name compared without case.
int IsHeaderOf(const IniLine& line, const char* name);

// The entry of line with the blanks around its first "=" dropped, as the profile interface
// reads name and value, into out (room bytes, no terminator written). Returns its length,
// or -1 when it does not fit.
int PutNormalisedEntry(const IniLine& line, char* out, unsigned room);
