// Shared by the fuzz targets: the first input byte picks the code page (932 or 1252), the
// rest is the data; a failed property aborts, which the fuzzer reports as a crash.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include "core/dbcs.h"

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            abort();                                                                 \
        }                                                                            \
    } while (0)

// Chooses the code page from the first byte and returns the rest.
inline std::string TakeCodePage(const uint8_t* data, size_t size)
{
    if (size == 0) return std::string();
    UseLeadByteTest(LeadByteTestOfCodePage(data[0] & 1 ? 932 : 1252));
    return std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
}

// The text up to its first zero byte, as a terminated string.
inline std::string Terminated(const std::string& bytes)
{
    return std::string(bytes.c_str());
}

// 1 when offset n of text is at a character boundary (or past the end of the text).
inline bool AtBoundary(const char* text, size_t n)
{
    size_t i = 0;
    while (i < n && text[i]) i += CharStep(text + i);
    return i == n || (i < n && !text[i]);
}
