// Shortcuts in a Japanese run: double-byte names and targets, the refusal text.
#include "shortcuts_fixture.h"

class ShortcutsJapanese : public ShortcutFixture {};

TEST_F(ShortcutsJapanese, DoubleByteNamesAndTargets)
{
    REQUIRE_932();
    // ソ (0x83 0x5C) in the title, a caption and a target; 、 is no comma.
    lstrcpyA(session.title, "ソフト集");
    WriteFile("dest\\ソフト\\表示.exe", "app");
    UseInf("[Install]\r\n1=表示.exe,ソフト\\表示.exe\r\n"
           "[Group]\r\n1=表示ソフト、説明,ソフト\\表示.exe,/ソ\r\n2=削除,install.exe,/r\r\n",
           2);
    CreateShortcuts(PLACE_PROGRAMS);
    std::string group = programs + "\\ソフト集";
    EXPECT_TRUE(FolderExists(group));
    LinkInfo first = ReadLink(group + "\\表示ソフト、説明.lnk");
    ASSERT_TRUE(first.loaded);
    EXPECT_EQ(first.path, dest + "ソフト\\表示.exe");
    EXPECT_EQ(first.arguments, "/ソ");
    EXPECT_EQ(first.description, "表示ソフト、説明");
    EXPECT_EQ(first.workingFolder, dest.substr(0, dest.size() - 1));
    LinkInfo second = ReadLink(group + "\\削除.lnk");
    ASSERT_TRUE(second.loaded);
    EXPECT_EQ(second.arguments, "/r");

    CreateShortcuts(PLACE_DESKTOP);
    LinkInfo desk = ReadLink(desktop + "\\ソフト集.lnk");
    ASSERT_TRUE(desk.loaded);
    EXPECT_EQ(desk.path, dest + "ソフト\\表示.exe");
    EXPECT_EQ(desk.description, "ソフト集");
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ShortcutsJapanese, RefusalText)
{
    REQUIRE_932();
    std::string place = scratch + std::string(200 - scratch.size(), 'p');
    ASSERT_TRUE(CreateDirectoryA(place.c_str(), NULL));
    SetPlace("Desktop", place);
    lstrcpyA(session.title, ("長い" + std::string(60, 'x')).c_str());
    UseInf("[Install]\r\n1=app.exe\r\n", 0);
    CreateShortcuts(PLACE_DESKTOP);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text,
              "長い" + std::string(60, 'x') + " はパスが長すぎるためショートカットを作成できません。");
    EXPECT_EQ(shownMessages[0].caption, "エラー");
    EXPECT_TRUE(Links(place).empty());
}
