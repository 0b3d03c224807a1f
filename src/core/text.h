// Offers: bounded copies, appends and message formatting into fixed buffers (every result
// terminated, no cut through a double-byte character), letter case changes that leave
// double-byte characters alone, and the last element of a path. No system calls.
#pragma once
#include <stddef.h>

// Length of a terminated text.
unsigned TextLength(const char* text);

// Each returns 1 when the whole text fitted and 0 when it was cut; a cut never splits
// a double-byte character, and the buffer always ends in a terminator.
int CopyText(char* dst, size_t size, const char* src);
int AppendText(char* dst, size_t size, const char* src);

// The message formatting of the program, a small printf: %s, %u, %d and %%. Arguments are
// inserted as they stand. 1 when the whole text fitted.
int FormatText(char* dst, size_t size, const char* format, ...);

// Letters a-z to A-Z (or back), every other byte, including both bytes of a
// double-byte character, unchanged.
void UpperAscii(char* text);
void LowerAscii(char* text);

// 1 when the length bytes at a and at b are the same.
int SameBytes(const void* a, const void* b, unsigned length);

// 1 when the length bytes at text are word, letters a-z and A-Z compared without case and
// a double-byte character byte for byte: the one comparison of names without case
// (section and key names, file names).
int IsWordIgnoringCase(const char* text, unsigned length, const char* word);

// 1 when part stands in text, compared byte for byte from the start of a character (never
// from the second byte of a double-byte character).
int ContainsText(const char* text, const char* part);

// Last path element (text after the last backslash) of the whole path, in a shared buffer
// of a path's size that stays valid until the next call.
const char* GetLeafName(const char* path);
