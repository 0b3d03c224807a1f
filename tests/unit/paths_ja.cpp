// Double-byte characters in paths: trail bytes, backslash bytes inside characters, and the
// Japanese folder messages. Runs in a code page 932 run only.
#include "support.h"
#include "common/session.h"
#include "files/folders.h"
#include "core/dbcs.h"
#include "core/destination.h"

TEST(PathsJapanese, TrailBytesAndBackslashAfterDoubleByteCharacter)
{
    REQUIRE_932();
    const char two[] = "ソフ";
    EXPECT_EQ(IsTrailByteAt(two, 0), 0);
    EXPECT_EQ(IsTrailByteAt(two, 1), 1);
    EXPECT_EQ(IsTrailByteAt(two, 2), 0);
    EXPECT_EQ(IsTrailByteAt(two, 3), 1);
    char path[16] = "C:\\ソ";  // ends in the byte 0x5C, which is not a backslash here
    EXPECT_EQ(AppendBackslash(path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\ソ\\");
    EXPECT_EQ(AppendBackslash(path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\ソ\\");
}

class FolderCreationJapanese : public SessionTest {};

TEST_F(FolderCreationJapanese, NameWithBackslashByteIsOneLevel)
{
    REQUIRE_932();
    std::string target = scratch + "ソフト\\";
    char path[kPathSize];
    lstrcpyA(path, target.c_str());
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_TRUE(FolderExists(scratch + "ソフト"));
    // Never split at the 0x5C byte of ソ: the scratch folder holds just the one folder.
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((scratch + "*").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    int entries = 0;
    do {
        if (lstrcmpA(data.cFileName, ".") && lstrcmpA(data.cFileName, "..")) entries++;
    } while (FindNextFileA(h, &data));
    FindClose(h);
    EXPECT_EQ(entries, 1);
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(FolderCreationJapanese, MessagesNameTheFolderFirst)
{
    REQUIRE_932();
    WriteFile("ソフト", "x");
    std::string target = scratch + "ソフト\\下\\";
    char path[kPathSize];
    lstrcpyA(path, target.c_str());
    EXPECT_EQ(CreateFolderPath(path), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text,
              scratch + "ソフト - 同じ名前のファイルが既に存在するのでフォルダが作成できません。");
    EXPECT_EQ(shownMessages[0].caption, "エラー");
}
