// Bounded copies, appends and formatting into fixed buffers; every result is terminated.
#pragma once
#include <stddef.h>

// Each returns 1 when the whole text fitted and 0 when it was cut; a cut never splits
// a double-byte character, and the buffer always ends in a terminator.
int CopyText(char* dst, size_t size, const char* src);
int AppendText(char* dst, size_t size, const char* src);

// A small printf: %s, %u, %d and %%. Arguments are inserted as they stand.
int FormatText(char* dst, size_t size, const char* format, ...);

// Letters a-z to A-Z (or back), every other byte, including both bytes of a
// double-byte character, unchanged.
void UpperAscii(char* text);
void LowerAscii(char* text);

// Plain byte-wise substring test.
int ContainsText(const char* text, const char* part);
