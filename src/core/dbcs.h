// Offers: the one double-byte stepping rule of the program. A lead-byte test is chosen
// once per run (the system's, or one from the small code-page table below), and every
// scan over a path or value steps through CharStep, so the second byte of a double-byte
// character is never taken for a backslash, comma or letter. No system calls.
#pragma once

// 1 when byte begins a double-byte character.
typedef int (*LeadByteTest)(unsigned char byte);

// The table's test for a code page: 932 knows its lead bytes; every other code page
// (1252 among them) is taken as single-byte.
LeadByteTest LeadByteTestOfCodePage(unsigned codePage);

// The test every scan below uses from now on; NULL means single-byte. Returns the test
// that was in force, so that a scan over text of another code page can put it back.
LeadByteTest UseLeadByteTest(LeadByteTest test);

int IsLeadByte(char c);

// Bytes to the next character: 2 for a lead byte followed by a second byte, else 1. A lead
// byte right before the terminator counts as a character of its own, so no walk passes
// the end.
int CharStep(const char* p);

// 1 when byte n of text is the second byte of a double-byte character.
int IsTrailByteAt(const char* text, unsigned n);

// Position of the first c in text, or NULL.
const char* FindCharDbcs(const char* text, char c);
char* FindCharDbcs(char* text, char c);

// Position of the last c in text, or NULL; the second byte of a double-byte character
// never matches.
const char* FindLastCharDbcs(const char* text, char c);
