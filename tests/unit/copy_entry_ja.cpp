// Copying one entry in a Japanese run: texts, year/month/day stamps, double-byte folders.
#include "copy_fixture.h"

class CopyEntryJapanese : public CopyFixture {};

TEST_F(CopyEntryJapanese, ConfirmationReadsYearMonthDay)
{
    REQUIRE_932();
    WritePair("Data.txt", "new", "old");
    SetLocalTime(source + "Data.txt", 2001, 3, 9, 7, 30, 5);
    SetLocalTime(dest + "Data.txt", 2001, 3, 9, 18, 4, 0);
    ASSERT_EQ(Resolve("Data.txt"), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, Upper(dest) + "DATA.TXT は既に存在します。\n"
                                     "既存ファイルに上書きしますか？\n\n"
                                     " コピー先： DATA.TXT  2001/03/09  18:04:00\n"
                                     " コピー元： DATA.TXT  2001/03/09  07:30:05");
    EXPECT_EQ(shownMessages[0].caption, "上書き確認");
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(ReadFileBytes(dest + "Data.txt"), "old");
}

TEST_F(CopyEntryJapanese, DoubleByteNamesAreKeptInCapitalsAndFolders)
{
    REQUIRE_932();
    // ソ is 0x83 0x5C and ッ 0x83 0x62: neither byte pair may be split or changed.
    WriteFile("src\\ッb.txt", "new");
    ASSERT_EQ(Resolve("ッb.txt,ソフト\\ッb.txt"), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_TRUE(FolderExists(dest + "ソフト"));
    // One level only: nothing was made from a split at the 0x5C byte of ソ.
    int entries = 0;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dest + "*").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do entries += data.cFileName[0] != '.';
    while (FindNextFileA(h, &data));
    FindClose(h);
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(ReadFileBytes(dest + "ソフト\\ッb.txt"), "new");
    EXPECT_TRUE(shownMessages.empty());

    SetLocalTime(source + "ッb.txt", 2001, 3, 9, 0, 0, 0);
    SetLocalTime(dest + "ソフト\\ッb.txt", 2001, 3, 9, 0, 0, 0);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, Upper(dest) + "ソフト\\ッB.TXT は既に存在します。\n"
                                     "既存ファイルに上書きしますか？\n\n"
                                     " コピー先： ッB.TXT  2001/03/09  00:00:00\n"
                                     " コピー元： ッB.TXT  2001/03/09  00:00:00");
}

// "オ" is 0x83 0x49, its second byte an "I": オNSTALL.EXE holds no "INSTALL.EXE" and
// goes through the date rule like any other file.
TEST_F(CopyEntryJapanese, SecondByteNeverBeginsTheInstallersName)
{
    REQUIRE_932();
    const std::string name = "オNSTALL.EXE";
    ASSERT_EQ(name.substr(1), "INSTALL.EXE");
    WritePair(name, "new", "old");
    SetLocalTime(source + name, 2001, 3, 9, 0, 0, 0);
    SetLocalTime(dest + name, 2001, 3, 9, 0, 0, 0);
    ASSERT_EQ(Resolve(name), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, "上書き確認");
    EXPECT_EQ(ReadFileBytes(dest + name), "old");
}

TEST_F(CopyEntryJapanese, FailureTexts)
{
    REQUIRE_932();
    ASSERT_EQ(Resolve("nothere.txt"), 1);
    EXPECT_EQ(CopyEntry(), 0);

    WritePair("INSTALL.EXE", "new", "old");
    {
        LockedFile held(dest + "INSTALL.EXE");
        ASSERT_TRUE(held.Held());
        ASSERT_EQ(ResolveEntry(-1), 1);
        EXPECT_EQ(CopyEntry(), 0);
    }

    lstrcpyA(session.destFolder, (dest + std::string(250 - dest.size(), 'f') + "\\").c_str());
    EXPECT_EQ(Resolve("toolong.txt"), 0);
    EXPECT_EQ(CopyEntry(), 0);

    ASSERT_EQ(shownMessages.size(), 3u);
    EXPECT_EQ(shownMessages[0].text, "nothere.txt のコピーに失敗しました。");
    EXPECT_EQ(shownMessages[0].caption, "エラー");
    EXPECT_EQ(shownMessages[1].text, dest + "INSTALL.EXE は他で使用中のため上書きできません。");
    EXPECT_EQ(shownMessages[1].caption, "エラー");
    EXPECT_EQ(shownMessages[1].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shownMessages[2].text, "toolong.txt はコピー先のパスが長すぎるためコピーできません。");
    EXPECT_EQ(ReadFileBytes(dest + "INSTALL.EXE"), "old");
}
