// Bounded text helpers and the double-byte-aware scans.
#include "support.h"
#include "core/dbcs.h"
#include "core/setupinfo.h"
#include "core/sizes.h"
#include "core/text.h"

TEST(BoundedText, CopyAndAppendReportCutsAndAlwaysTerminate)
{
    char small[6];
    EXPECT_EQ(CopyText(small, sizeof small, "abcde"), 1);
    EXPECT_STREQ(small, "abcde");
    EXPECT_EQ(CopyText(small, sizeof small, "abcdef"), 0);
    EXPECT_STREQ(small, "abcde");
    CopyText(small, sizeof small, "ab");
    EXPECT_EQ(AppendText(small, sizeof small, "cd"), 1);
    EXPECT_EQ(AppendText(small, sizeof small, "xy"), 0);
    EXPECT_STREQ(small, "abcdx");
}

TEST(BoundedText, FormatInsertsArgumentsVerbatim)
{
    char out[64];
    EXPECT_EQ(FormatText(out, sizeof out, "%s has %u MB, %d%%", "C:\\100%s", 5120u, -3), 1);
    EXPECT_STREQ(out, "C:\\100%s has 5120 MB, -3%");
    EXPECT_EQ(FormatText(out, 8, "%s", "0123456789"), 0);
    EXPECT_STREQ(out, "0123456");
}

TEST(TextOps, LeafNameAndEntryKey)
{
    EXPECT_STREQ(GetLeafName("C:\\App\\sub\\file.txt"), "file.txt");
    EXPECT_STREQ(GetLeafName("file.txt"), "file.txt");
    EXPECT_STREQ(GetLeafName("C:\\App\\"), "");
    EXPECT_STREQ(FormatEntryKey(0), "0");
    EXPECT_STREQ(FormatEntryKey(4294967295u), "4294967295");
    // The whole path is read; text longer than any path gives a leaf cut to a path's size.
    std::string longPath(300, 'a');
    longPath[250] = '\\';
    EXPECT_EQ(strlen(GetLeafName(longPath.c_str())), 300u - 251u);
    longPath[250] = 'a';
    longPath[10] = '\\';
    EXPECT_EQ(strlen(GetLeafName(longPath.c_str())), (size_t)kPathSize - 1);
}

TEST(TextOps, FindCharStopsAtTheEnd)
{
    const char text[] = "a,b,c";
    EXPECT_EQ(FindCharDbcs(text, ','), text + 1);
    EXPECT_EQ(FindLastCharDbcs(text, ','), text + 3);
    EXPECT_EQ(FindCharDbcs(text, ';'), nullptr);
    EXPECT_EQ(FindCharDbcs("", ','), nullptr);
}
