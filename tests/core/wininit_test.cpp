// The [Rename] rewrite of WININIT.INI over bytes, natively.
#include "core_test_support.h"
#include "core/wininit.h"

static const char kEntry[] = "NUL=C:\\PROGRA~1\\X.EXE";

// The new file, or "<refused>".
static std::string Rewrite(const std::string& old)
{
    std::string out(old.size() + kRenameRoom, '\0');
    unsigned n = RewriteRenameSection(old.data(), (unsigned)old.size(), kEntry, &out[0],
                                      (unsigned)out.size());
    return n ? out.substr(0, n) : "<refused>";
}

TEST_F(SingleByte, SectionIsAddedAtTheEndOnALineOfItsOwn)
{
    std::string section = std::string("[Rename]\r\n") + kEntry + "\r\n";
    EXPECT_EQ(Rewrite("[boot]\r\nshell=x\r\n"), "[boot]\r\nshell=x\r\n" + section);
    EXPECT_EQ(Rewrite("[boot]\r\nshell=x"), "[boot]\r\nshell=x\r\n" + section);
    EXPECT_EQ(Rewrite("[boot]\r\nshell=x\r\n\x1A"), "[boot]\r\nshell=x\r\n" + section);
    EXPECT_EQ(Rewrite(""), section);
    EXPECT_EQ(Rewrite("\x1A"), section);
}

TEST_F(SingleByte, OldEntriesOfEverySectionMoveToTheEndInOrder)
{
    std::string old = "; head\r\n[boot]\r\nshell = x\r\n"
                      "[rename]\r\nNUL=C:\\A.TMP\r\nC:\\NEW.EXE=C:\\OLD.EXE\r\n  NUL = C:\\B.TMP  \r\n\r\n"
                      "[other]\r\nk=v\n"
                      "[ RENAME ]\nNUL=C:\\C.TMP\n";
    EXPECT_EQ(Rewrite(old), "; head\r\n[boot]\r\nshell = x\r\n[other]\r\nk=v\n"
                            "[Rename]\r\nNUL=C:\\A.TMP\r\nC:\\NEW.EXE=C:\\OLD.EXE\r\nNUL=C:\\B.TMP\r\n"
                            "NUL=C:\\C.TMP\r\n" + std::string(kEntry) + "\r\n");
    // Scheduling again keeps the first line ahead of the second.
    std::string again = Rewrite(Rewrite("[boot]\r\n"));
    EXPECT_EQ(again, "[boot]\r\n[Rename]\r\n" + std::string(kEntry) + "\r\n" + kEntry + "\r\n");
}

TEST_F(SingleByte, AnEndMarkBeforeOtherBytesIsRefused)
{
    // Whether a system's profile functions stop at such a mark or read on is not known.
    EXPECT_EQ(Rewrite("[boot]\r\nshell=x\x1A junk"), "<refused>");
    EXPECT_EQ(Rewrite("[Rename]\r\nNUL=C:\\A.TMP\r\n\x1A\x1A"), "<refused>");
    EXPECT_EQ(Rewrite("\x1A\r\n"), "<refused>");
}

TEST_F(SingleByte, TooManyOldEntriesOrTooLittleRoomAreRefused)
{
    std::string big = "[Rename]\r\n";
    while (big.size() <= kRenameSectionLimit) big += "NUL=C:\\TEMP\\" + std::string(60, 'a') + ".TMP\r\n";
    EXPECT_EQ(Rewrite(big), "<refused>");
    std::string fits = "[Rename]\r\n";
    while (fits.size() < kRenameSectionLimit - 80) fits += "NUL=C:\\TEMP\\" + std::string(60, 'b') + ".TMP\r\n";
    EXPECT_EQ(Rewrite(fits), fits + kEntry + "\r\n");
    char out[16];
    EXPECT_EQ(RewriteRenameSection("[boot]\r\n", 8, kEntry, out, sizeof out), 0u);
}

TEST_F(CodePage932, EntriesParseBackAlikeWhenABlankIsASecondByte)
{
    // 0x89 0x0D is one character: trimming the blank in front of "=" must not split it,
    // else the rewritten entry would read differently.
    std::string old = "[Rename]\nk\x89\r\t =v\n";
    EXPECT_EQ(Rewrite(old), "[Rename]\r\nk\x89\r=v\r\n" + std::string(kEntry) + "\r\n");
}

TEST_F(CodePage932, HalfACharacterAtTheEndOfALineGetsALineFeedOnly)
{
    // A carriage return behind a lone lead byte would become its second byte.
    EXPECT_EQ(Rewrite("[Rename]\nM\x8d"), "[Rename]\r\nM\x8d\n" + std::string(kEntry) + "\r\n");
    EXPECT_EQ(Rewrite("[boot]\nx\x8d"), "[boot]\nx\x8d\n[Rename]\r\n" + std::string(kEntry) + "\r\n");
}
