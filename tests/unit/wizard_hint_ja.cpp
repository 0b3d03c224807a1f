// The uninstall hint and the destination page's messages in Japanese (code page 932 run).
#include "wizard_fixture.h"
#include "resources/resource.h"

class WizardHintJapanese : public WizardTest {};

TEST_F(WizardHintJapanese, HintInJapanese)
{
    REQUIRE_932();
    session.japanese = 1;
    Scan("1=サンプル,sample.exe\r\n2=削除,install.exe,/r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 1);
    EXPECT_STREQ(session.uninstallHint, "このソフトを削除するにはメニューの「削除」を使ってください。");
    Scan("1=install.exe,/r\r\n");
    EXPECT_STREQ(session.uninstallHint,
                 "このソフトを削除するにはメニューの「install.exe,/r」を使ってください。");
}

TEST_F(WizardHintJapanese, CutsNeverSplitACharacter)
{
    REQUIRE_932();
    session.japanese = 1;
    // The last 15 bytes end inside ソ: the whole character goes.
    Scan("1=ソinstall.exe,/r\r\n");
    EXPECT_STREQ(session.uninstallHint, "このソフトを削除するにはメニューの「」を使ってください。");
    // A name too long for the hint is shortened by whole characters.
    std::string name;
    for (int i = 0; i < 110; i++) name += "ア";
    Scan("1=" + name + ",install.exe,/r\r\n");
    std::string hint = session.uninstallHint;
    const std::string head = "このソフトを削除するにはメニューの「", tail = "」を使ってください。";
    ASSERT_LE(hint.size(), 259u);
    EXPECT_EQ(hint.substr(0, head.size()), head);
    ASSERT_GE(hint.size(), head.size() + tail.size());
    EXPECT_EQ(hint.substr(hint.size() - tail.size()), tail);
    std::string kept = hint.substr(head.size(), hint.size() - head.size() - tail.size());
    EXPECT_EQ(kept.size() % 2, 0u);
    EXPECT_EQ(kept.size(), (259 - head.size() - tail.size()) / 2 * 2);
    EXPECT_EQ(kept, name.substr(0, kept.size()));
}

class WizardNextJapanese : public WizardTest {};

TEST_F(WizardNextJapanese, MessagesInJapanese)
{
    REQUIRE_932();
    session.japanese = 1;
    lstrcpyA(session.destFolder, "Soft");
    EXPECT_EQ(CheckDestination(NULL), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, "エラー");
    EXPECT_EQ(shownMessages[0].text,
              "「C:\\Soft\\」のように、ドライブ名も含めた正しいパス名を指定してください。");
    lstrcpyA(session.destFolder, "C");
    EXPECT_EQ(CheckDestination(NULL), 0);
    EXPECT_EQ(shownMessages[1].text, "ルートディレクトリにはインストールできません。");

    Available() = 99ULL << 20;
    WriteFile("Old\\install.inf", "[Install]\r\n");
    lstrcpyA(session.destFolder, (scratch + "Old").c_str());
    QueueAnswers({IDYES, IDYES});
    EXPECT_EQ(CheckDestination(NULL), 0);
    ASSERT_EQ(shownMessages.size(), 4u);
    EXPECT_EQ(shownMessages[2].text,
              "指定されたドライブの残り容量が 99メガバイトしかありません。かまわずにインストールしますか？");
    EXPECT_EQ(shownMessages[3].text,
              "バージョンアップ以外では既にあるアンインストール情報が壊されます。\n"
              "別のフォルダーを指定しますか？");
    EXPECT_EQ(shownMessages[3].caption, "Sample Editor");
}

TEST_F(WizardNextJapanese, FolderEndingInBackslashByteGetsItsOwnBackslash)
{
    REQUIRE_932();
    session.japanese = 1;
    std::string folder = scratch + "ソ";  // ソ ends in the byte 0x5C
    lstrcpyA(session.destFolder, folder.c_str());
    EXPECT_EQ(CheckDestination(NULL), 1);
    EXPECT_EQ(std::string(session.destFolder), folder + "\\");
    EXPECT_TRUE(shownMessages.empty());
}
