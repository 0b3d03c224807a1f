// Native tests of the core: a fixture per code page, so every test states the lead-byte
// rule it runs under.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "core/dbcs.h"

// Code page 1252: every byte a character of its own.
class SingleByte : public ::testing::Test {
protected:
    void SetUp() override { UseLeadByteTest(LeadByteTestOfCodePage(1252)); }
};

// Code page 932. "\x83\x5C" is a katakana whose second byte is a backslash, "\x83\x41"
// one whose second byte is an "A", "\x83\x2C"... is no character (0x2C is no second byte
// in the table's rule, but the table only knows lead bytes, as the system's test does).
class CodePage932 : public ::testing::Test {
protected:
    void SetUp() override { UseLeadByteTest(LeadByteTestOfCodePage(932)); }
    void TearDown() override { UseLeadByteTest(nullptr); }
};

// The entries of a held block ("a\0b\0\0") as one string with "|" between them.
inline std::string Entries(const char* block)
{
    std::string out;
    for (const char* p = block; *p; p += std::char_traits<char>::length(p) + 1) {
        if (!out.empty()) out += '|';
        out += p;
    }
    return out;
}
