// Shell-link shortcuts: the program group, single title links, working folders, refusals.
#include "shortcuts_fixture.h"

static const char kThreeGroups[] =
    "[Install]\r\n1=app.exe\r\n"
    "[Group]\r\n1=Sample Editor,app.exe\r\n2=Readme,readme.txt\r\n3=Uninstall,install.exe,/r\r\n";

class ShortcutsTest : public ShortcutFixture {};

TEST_F(ShortcutsTest, ReadShellFolderAppendsOneBackslashAndRefusesWhatIsMissing)
{
    char folder[kPathSize];
    EXPECT_EQ(ReadShellFolder(PLACE_PROGRAMS, folder, sizeof folder), 1);
    EXPECT_EQ(std::string(folder), programs + "\\");
    EXPECT_EQ(ReadShellFolder(PLACE_DESKTOP, folder, sizeof folder), 1);
    EXPECT_EQ(std::string(folder), desktop + "\\");
    EXPECT_EQ(ReadShellFolder(PLACE_STARTUP, folder, sizeof folder), 1);
    EXPECT_EQ(std::string(folder), startup + "\\");

    SetPlace("Desktop", "C:\\" + std::string(256, 'x'));  // 259 characters: no room for "\"
    EXPECT_EQ(ReadShellFolder(PLACE_DESKTOP, folder, sizeof folder), 0);
    SetPlace("Desktop", "");
    EXPECT_EQ(ReadShellFolder(PLACE_DESKTOP, folder, sizeof folder), 0);
    char small[8];
    EXPECT_EQ(ReadShellFolder(PLACE_PROGRAMS, small, sizeof small), 0);  // value longer
    RemovePlace("Startup");
    EXPECT_EQ(ReadShellFolder(PLACE_STARTUP, folder, sizeof folder), 0);
}

TEST_F(ShortcutsTest, ProgramGroupHasOneLinkPerEntryAndOneWorkingFolder)
{
    UseInf(kThreeGroups, 3);
    CreateShortcuts(PLACE_PROGRAMS);
    std::string group = programs + "\\Sample App";
    EXPECT_TRUE(FolderExists(group));
    EXPECT_EQ(Links(group),
              (std::vector<std::string>{"Readme.lnk", "Sample Editor.lnk", "Uninstall.lnk"}));
    EXPECT_TRUE(Links(programs).empty());  // no title link beside the group

    LinkInfo editor = ReadLink(group + "\\Sample Editor.lnk");
    ASSERT_TRUE(editor.loaded);
    EXPECT_EQ(editor.path, dest + "app.exe");
    EXPECT_EQ(editor.arguments, "");
    EXPECT_EQ(editor.description, "Sample Editor");
    EXPECT_EQ(editor.workingFolder, dest.substr(0, dest.size() - 1));
    EXPECT_EQ(std::string(session.workingFolder), dest.substr(0, dest.size() - 1));

    LinkInfo readme = ReadLink(group + "\\Readme.lnk");
    ASSERT_TRUE(readme.loaded);
    EXPECT_EQ(readme.path, dest + "readme.txt");
    EXPECT_EQ(readme.arguments, "");
    EXPECT_EQ(readme.description, "Readme");
    EXPECT_EQ(readme.workingFolder, "");

    LinkInfo uninstall = ReadLink(group + "\\Uninstall.lnk");
    ASSERT_TRUE(uninstall.loaded);
    EXPECT_EQ(uninstall.path, dest + "install.exe");
    EXPECT_EQ(uninstall.arguments, "/r");
    EXPECT_EQ(uninstall.description, "Uninstall");
    EXPECT_EQ(uninstall.workingFolder, "");
    EXPECT_TRUE(shownMessages.empty());

    // A second run over the existing group folder replaces the links quietly.
    CreateShortcuts(PLACE_PROGRAMS);
    EXPECT_EQ(Links(group).size(), 3u);
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ShortcutsTest, WithoutGroupsOneTitleLinkStartsEntryOne)
{
    WriteFile("dest\\bin\\app.exe", "app");
    UseInf("[Install]\r\n1=app.exe,bin\\app.exe\r\n2=readme.txt\r\n", 0);
    CreateShortcuts(PLACE_PROGRAMS);
    EXPECT_EQ(Links(programs), (std::vector<std::string>{"Sample App.lnk"}));
    EXPECT_FALSE(FolderExists(programs + "\\Sample App"));
    LinkInfo link = ReadLink(programs + "\\Sample App.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.path, dest + "bin\\app.exe");
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.description, "Sample App");
    EXPECT_EQ(link.workingFolder, dest.substr(0, dest.size() - 1));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ShortcutsTest, DesktopAndStartupGetTheTitleLinkEvenWithGroups)
{
    UseInf(kThreeGroups, 3);
    CreateShortcuts(PLACE_DESKTOP);
    CreateShortcuts(PLACE_STARTUP);
    EXPECT_EQ(Links(desktop), (std::vector<std::string>{"Sample App.lnk"}));
    EXPECT_EQ(Links(startup), (std::vector<std::string>{"Sample App.lnk"}));
    EXPECT_FALSE(FolderExists(desktop + "\\Sample App"));
    LinkInfo link = ReadLink(startup + "\\Sample App.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.path, dest + "app.exe");
    EXPECT_EQ(link.description, "Sample App");
    EXPECT_EQ(link.workingFolder, dest.substr(0, dest.size() - 1));
    EXPECT_TRUE(Links(programs).empty());
}

TEST_F(ShortcutsTest, ResidentApplicationGetsNoWorkingFolder)
{
    UseInf("[Install]\r\n1=app.exe\r\n[Working Folder]\r\n1=C:\\\r\n", 0);
    session.residentApp = 1;
    CreateShortcuts(PLACE_STARTUP);
    LinkInfo link = ReadLink(startup + "\\Sample App.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.path, dest + "app.exe");
    EXPECT_EQ(link.workingFolder, "");
    EXPECT_STREQ(session.workingFolder, "");
}

TEST_F(ShortcutsTest, WorkingFolderSectionIsUsedOnlyWhenTheFolderExists)
{
    std::string data = scratch + "data";
    CreateDirectoryA(data.c_str(), NULL);
    UseInf("[Install]\r\n1=app.exe\r\n[Working Folder]\r\n1=" + data + "\r\n", 0);
    CreateShortcuts(PLACE_DESKTOP);
    EXPECT_EQ(ReadLink(desktop + "\\Sample App.lnk").workingFolder, data);
    EXPECT_EQ(std::string(session.workingFolder), data);
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "\\", source);  // the trial left the directory alone

    // A relative value is tried against the current directory and kept as written.
    CreateDirectoryA((source + "work").c_str(), NULL);
    UseInf("[Install]\r\n1=app.exe\r\n[Working Folder]\r\n1=work\r\n", 0);
    CreateShortcuts(PLACE_DESKTOP);
    EXPECT_EQ(ReadLink(desktop + "\\Sample App.lnk").workingFolder, "work");

    UseInf("[Install]\r\n1=app.exe\r\n[Working Folder]\r\n1=" + scratch + "missing\r\n", 0);
    CreateShortcuts(PLACE_DESKTOP);
    EXPECT_EQ(ReadLink(desktop + "\\Sample App.lnk").workingFolder, dest.substr(0, dest.size() - 1));

    // A drive root keeps its backslash.
    lstrcpyA(session.destFolder, "C:\\");
    CreateShortcuts(PLACE_DESKTOP);
    LinkInfo root = ReadLink(desktop + "\\Sample App.lnk");
    EXPECT_EQ(root.workingFolder, "C:\\");
    EXPECT_EQ(root.path, "C:\\app.exe");
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ShortcutsTest, LinkPathThatDoesNotFitIsSkippedWithItsName)
{
    // Place folder of 180 characters + "\Sample App\" leaves 67 for name and ".lnk".
    std::string place = scratch + std::string(180 - scratch.size(), 'p');
    ASSERT_TRUE(CreateDirectoryA(place.c_str(), NULL));
    SetPlace("Programs", place);
    std::string fits(63, 'f'), tooLong(64, 'g');
    UseInf("[Install]\r\n1=app.exe\r\n[Group]\r\n1=" + fits + ",app.exe\r\n2=" + tooLong +
               ",readme.txt\r\n3=Uninstall,install.exe,/r\r\n",
           3);
    CreateShortcuts(PLACE_PROGRAMS);
    std::string group = place + "\\Sample App";
    ASSERT_EQ((group + "\\" + fits + ".lnk").size(), 259u);
    EXPECT_EQ(Links(group), (std::vector<std::string>{"Uninstall.lnk", fits + ".lnk"}));
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_SHORTCUT_TOO_LONG, tooLong));
    EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_EQ(ReadLink(group + "\\" + fits + ".lnk").workingFolder, dest.substr(0, dest.size() - 1));

    // A group folder that cannot be named at all: one message naming the title, nothing made.
    std::string deep = scratch + std::string(250 - scratch.size(), 'q');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL) || GetLastError() == ERROR_FILENAME_EXCED_RANGE);
    SetPlace("Programs", deep);
    shownMessages.clear();
    CreateShortcuts(PLACE_PROGRAMS);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_SHORTCUT_TOO_LONG, "Sample App"));
}

TEST_F(ShortcutsTest, MissingPlaceOrGroupFolderBlockedByFile)
{
    UseInf(kThreeGroups, 3);
    RemovePlace("Programs");
    CreateShortcuts(PLACE_PROGRAMS);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_TRUE(Links(programs).empty());

    // The group folder's name is taken by a file: the folder's message, links fail quietly.
    SetPlace("Programs", programs);
    WriteFile("programs\\Sample App", "a file");
    CreateShortcuts(PLACE_PROGRAMS);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FOLDER_IS_FILE, programs + "\\Sample App"));
    EXPECT_EQ(ReadFileBytes(programs + "\\Sample App"), "a file");
}
