// Double-byte scans in a real code page 932 run (skipped in other code pages).
#include "support.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/text.h"

TEST(TextOpsJapanese, BackslashByteInsideSoIsNoSeparator)
{
    REQUIRE_932();
    const char path[] = "C:\\ソフト\\x.txt";  // ソ is 0x83 0x5C
    ASSERT_EQ((unsigned char)path[4], 0x5C);
    EXPECT_EQ(FindCharDbcs(path + 3, '\\'), path + 3 + 6);
    EXPECT_STREQ(GetLeafName(path), "x.txt");
    EXPECT_STREQ(GetLeafName("C:\\ソ"), "ソ");
}

TEST(TextOpsJapanese, LeadByteBeforeTerminatorDoesNotOverrun)
{
    REQUIRE_932();
    char text[4] = {'a', (char)0x83, 0, 'X'};
    EXPECT_EQ(FindCharDbcs(text, 'X'), nullptr);
    EXPECT_EQ(FindLastCharDbcs(text, 'X'), nullptr);
    char out[8];
    EXPECT_EQ(CopyText(out, sizeof out, text), 1);
    EXPECT_STREQ(out, text);
}

TEST(TextOpsJapanese, CutsAndCaseChangesKeepDoubleByteCharacters)
{
    REQUIRE_932();
    char out[4];
    EXPECT_EQ(CopyText(out, sizeof out, "aソ"), 1);
    EXPECT_EQ(CopyText(out, sizeof out, "abソ"), 0);
    EXPECT_STREQ(out, "ab");  // never half a character
    char name[] = "C:\\アプリ\\Ab";  // ア is 0x83 0x41: its second byte is an 'A'
    LowerAscii(name);
    EXPECT_STREQ(name, "c:\\アプリ\\ab");
    char upper[] = "c:\\ッ\\ab";  // ッ is 0x83 0x62: its second byte is a 'b'
    UpperAscii(upper);
    EXPECT_STREQ(upper, "C:\\ッ\\AB");
}
