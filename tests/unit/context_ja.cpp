// The setup context in a code page 932 run: Japanese messages and double-byte folder names.
#include "support.h"
#include "setupinfo/context.h"
#include "common/session.h"

class ContextJapanese : public SessionTest {};

TEST_F(ContextJapanese, FolderWithBackslashByteIsAcceptedAndRealBackslashRefused)
{
    REQUIRE_932();
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=サンプル\r\nFolder=ソフト\r\n");
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.destFolder, "C:\\ソフト\\");
    ResetSession();
    session.japanese = 1;
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=サンプル\r\nFolder=ソフト\\下\r\n");
    EXPECT_EQ(LoadSetupContext(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, "インストールするフォルダーにサブフォルダーが含まれていてはいけません。");
    EXPECT_EQ(shownMessages[0].caption, "エラー");
}

TEST_F(ContextJapanese, InfPathWithDoubleByteLettersStaysReadable)
{
    REQUIRE_932();
    // ア is 0x83 0x41: lower-casing its second byte would name another folder.
    WriteInf("アプリ\\INSTALL.INF", "[Install]\r\nTitle=T\r\nFolder=F\r\n");
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.title, "T");
}
