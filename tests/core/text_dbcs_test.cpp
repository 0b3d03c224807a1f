// The double-byte rule, bounded text and message formatting, natively.
#include "core_test_support.h"
#include "core/text.h"
#include "core/sizes.h"

TEST_F(CodePage932, TableKnowsTheLeadBytesOf932Only)
{
    LeadByteTest test = LeadByteTestOfCodePage(932);
    ASSERT_NE(test, nullptr);
    EXPECT_FALSE(test(0x80));
    EXPECT_TRUE(test(0x81));
    EXPECT_TRUE(test(0x9F));
    EXPECT_FALSE(test(0xA0));  // half-width katakana are single bytes
    EXPECT_FALSE(test(0xDF));
    EXPECT_TRUE(test(0xE0));
    EXPECT_TRUE(test(0xFC));
    EXPECT_FALSE(test(0xFD));
    EXPECT_EQ(LeadByteTestOfCodePage(1252), nullptr);
}

TEST_F(CodePage932, StepsAndScansTreatTheSecondByteAsPartOfItsCharacter)
{
    const char path[] = "C:\\\x83\x5C\\x.txt";
    EXPECT_EQ(CharStep(path + 3), 2);
    EXPECT_EQ(IsTrailByteAt(path, 4), 1);
    EXPECT_EQ(IsTrailByteAt(path, 5), 0);
    EXPECT_EQ(FindCharDbcs(path + 3, '\\'), path + 5);
    EXPECT_EQ(FindLastCharDbcs(path, '\\'), path + 5);
    EXPECT_STREQ(GetLeafName("C:\\\x83\x5C"), "\x83\x5C");
    // A lead byte right before the end is a character of its own: no step past the end.
    const char cut[] = {'a', '\x83', 0, 'X', 0};
    EXPECT_EQ(CharStep(cut + 1), 1);
    EXPECT_EQ(FindCharDbcs(cut, 'X'), nullptr);
    EXPECT_EQ(IsTrailByteAt(cut, 2), 0);
}

TEST_F(SingleByte, InOtherCodePagesEveryByteIsACharacter)
{
    const char path[] = "C:\\\x83\x5C\\x.txt";
    EXPECT_EQ(CharStep(path + 3), 1);
    EXPECT_EQ(FindCharDbcs(path + 3, '\\'), path + 4);
    EXPECT_EQ(IsTrailByteAt(path, 4), 0);
}

TEST_F(CodePage932, CutsNeverSplitACharacterAndCaseChangesSkipSecondBytes)
{
    char out[4];
    EXPECT_EQ(CopyText(out, sizeof out, "a\x83\x41"), 1);
    EXPECT_EQ(CopyText(out, sizeof out, "ab\x83\x41"), 0);
    EXPECT_STREQ(out, "ab");
    char upper[] = "c:\\\x83\x62\\ab";
    UpperAscii(upper);
    EXPECT_STREQ(upper, "C:\\\x83\x62\\AB");
    char lower[] = "C:\\\x83\x41\\Ab";
    LowerAscii(lower);
    EXPECT_STREQ(lower, "c:\\\x83\x41\\ab");
}

TEST_F(SingleByte, FormattingInsertsArgumentsAsTheyStandAndReportsCuts)
{
    char out[64];
    EXPECT_EQ(FormatText(out, sizeof out, "%s has %u MB, %d%% (%d)", "C:\\100%s", 5120u, -3,
                         -2147483647 - 1),
              1);
    EXPECT_STREQ(out, "C:\\100%s has 5120 MB, -3% (-2147483648)");
    EXPECT_EQ(FormatText(out, 8, "%s", "0123456789"), 0);
    EXPECT_STREQ(out, "0123456");
    EXPECT_EQ(FormatText(out, 0, "%s", "x"), 0);
    char small[6] = "abc";
    EXPECT_EQ(AppendText(small, sizeof small, "de"), 1);
    EXPECT_EQ(AppendText(small, sizeof small, "f"), 0);
    EXPECT_STREQ(small, "abcde");
    EXPECT_EQ(SameBytes("ab\0c", "ab\0c", 4), 1);
    EXPECT_EQ(SameBytes("ab\0c", "ab\0d", 4), 0);
    EXPECT_EQ(SameBytes("x", "y", 0), 1);
    EXPECT_EQ(ContainsText("C:\\A\\INSTALL.EXE /r", "INSTALL.EXE"), 1);
    EXPECT_EQ(ContainsText("abc", ""), 1);
    EXPECT_EQ(ContainsText("", "a"), 0);
}

TEST_F(CodePage932, FormattingKeepsADoubleBytePercentSecondByteAsText)
{
    // 0x81 0x25 is one character whose second byte is "%": no directive starts there.
    char out[32];
    EXPECT_EQ(FormatText(out, sizeof out, "\x81%s|%s", "x"), 1);
    EXPECT_STREQ(out, "\x81%s|x");
}

// A match that would begin on the second byte of a character ("\x83I" is one character)
// is no match; after a whole character, or in a single-byte code page, it is.
TEST_F(CodePage932, ContainedTextBeginsOnACharacterOfItsOwn)
{
    EXPECT_EQ(ContainsText("C:\\\x83INSTALL.EXE", "INSTALL.EXE"), 0);
    EXPECT_EQ(ContainsText("C:\\\x83\x41INSTALL.EXE", "INSTALL.EXE"), 1);
    EXPECT_EQ(ContainsText("\"C:\\\x83install.exe\" \x83/r", "/r"), 0);
    EXPECT_EQ(ContainsText("\x83\x83/r", "/r"), 1);
    UseLeadByteTest(LeadByteTestOfCodePage(1252));
    EXPECT_EQ(ContainsText("C:\\\x83INSTALL.EXE", "INSTALL.EXE"), 1);
}

// The whole path is read, up to the longest one a path's buffer holds (259 bytes).
TEST_F(CodePage932, LeafOfTheLongestPathIsWhole)
{
    std::string folder = "C:\\" + std::string(240, 'd') + "\x83\x5C\\\x83\x5C\\";
    std::string path = folder + "sample.exe";
    ASSERT_EQ(path.size(), (size_t)kPathSize - 1);
    EXPECT_STREQ(GetLeafName(path.c_str()), "sample.exe");
    EXPECT_STREQ(GetLeafName((folder + "\x83\x5C" + std::string(8, 'x')).c_str()),
                 ("\x83\x5C" + std::string(8, 'x')).c_str());
    EXPECT_STREQ(GetLeafName(std::string(kPathSize - 1, 'n').c_str()),
                 std::string(kPathSize - 1, 'n').c_str());
}
