// Small text operations over paths and values that step over double-byte characters.
#pragma once

// Position of the first c in text, or NULL. A lead byte right before the terminator
// counts as a character of its own, so the walk never passes the end.
const char* FindCharDbcs(const char* text, char c);
char* FindCharDbcs(char* text, char c);

// Position of the last c in text, or NULL; the second byte of a double-byte character
// never matches.
const char* FindLastCharDbcs(const char* text, char c);

// Last path element (text after the last backslash) in a shared buffer that stays valid
// until the next call. Input beyond 255 bytes is not looked at.
const char* GetLeafName(const char* path);

// Decimal text of n in a shared buffer that stays valid until the next call.
const char* FormatEntryKey(unsigned n);
