// Removal of the shortcuts: the single title link, the program group and the all-users group.
#include "uninstall_fixture.h"

class UninstallShortcuts : public UninstallTest {
protected:
    void MakeGroup(const std::string& programs)
    {
        WriteFile(programs + "\\Sample\\Sample.lnk", "L");
        WriteFile(programs + "\\Sample\\Readme.lnk", "L");
        WriteFile(programs + "\\Sample\\Uninstall.lnk", "L");
    }
};

TEST_F(UninstallShortcuts, SingleLinksNamedAfterTheTitle)
{
    lstrcpyA(session.title, "Sample");
    WriteFile("Programs\\Sample.lnk", "L");
    WriteFile("Programs\\Other.lnk", "L");
    WriteFile("Desktop\\Sample.lnk", "L");
    WriteFile("Startup\\Sample.lnk", "L");
    MakeGroup("Programs");  // a folder of that name is no business without [Group] entries
    RemoveShortcuts(PLACE_PROGRAMS);
    EXPECT_FALSE(FileExists(scratch + "Programs\\Sample.lnk"));
    EXPECT_TRUE(FileExists(scratch + "Programs\\Other.lnk"));
    EXPECT_TRUE(FileExists(scratch + "Programs\\Sample\\Readme.lnk"));
    EXPECT_TRUE(FileExists(scratch + "Desktop\\Sample.lnk"));
    RemoveShortcuts(PLACE_DESKTOP);
    EXPECT_FALSE(FileExists(scratch + "Desktop\\Sample.lnk"));
    EXPECT_TRUE(FileExists(scratch + "Startup\\Sample.lnk"));
    RemoveShortcuts(PLACE_STARTUP);
    EXPECT_FALSE(FileExists(scratch + "Startup\\Sample.lnk"));
    RemoveShortcuts(PLACE_DESKTOP);  // already gone: nothing happens
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(UninstallShortcuts, ProgramGroupWithItsLinks)
{
    lstrcpyA(session.title, "Sample");
    session.groupCount = 3;
    session.osClass = 5;
    MakeGroup("Programs");
    MakeGroup("Common");
    WriteFile("Programs\\Sample.lnk", "L");
    WriteFile("Programs\\Other\\Other.lnk", "L");
    RemoveShortcuts(PLACE_PROGRAMS);
    EXPECT_FALSE(FolderExists(scratch + "Programs\\Sample"));
    EXPECT_TRUE(FileExists(scratch + "Programs\\Sample.lnk"));  // the group case leaves it
    EXPECT_TRUE(FileExists(scratch + "Programs\\Other\\Other.lnk"));
    EXPECT_TRUE(FolderExists(scratch + "Common\\Sample"));     // before Vista: per user only

    session.osClass = 6;
    MakeGroup("Programs");
    RemoveShortcuts(PLACE_PROGRAMS);
    EXPECT_FALSE(FolderExists(scratch + "Programs\\Sample"));
    EXPECT_FALSE(FolderExists(scratch + "Common\\Sample"));

    // Desktop and Startup always get the title link, group or not.
    WriteFile("Desktop\\Sample.lnk", "L");
    RemoveShortcuts(PLACE_DESKTOP);
    EXPECT_FALSE(FileExists(scratch + "Desktop\\Sample.lnk"));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(UninstallShortcuts, GroupFolderWithASubfolderStaysButLosesItsFiles)
{
    lstrcpyA(session.title, "Sample");
    session.groupCount = 1;
    MakeGroup("Programs");
    WriteFile("Programs\\Sample\\Nested\\keep.lnk", "L");
    RemoveShortcuts(PLACE_PROGRAMS);
    EXPECT_FALSE(FileExists(scratch + "Programs\\Sample\\Readme.lnk"));
    EXPECT_TRUE(FileExists(scratch + "Programs\\Sample\\Nested\\keep.lnk"));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(UninstallShortcuts, CommonGroupNeedsGroupEntriesAndItsValue)
{
    lstrcpyA(session.title, "Sample");
    MakeGroup("Common");
    session.groupCount = 0;
    RemoveCommonGroup();
    EXPECT_TRUE(FolderExists(scratch + "Common\\Sample"));
    session.groupCount = 2;
    common_.Remove();
    RemoveCommonGroup();
    EXPECT_TRUE(FolderExists(scratch + "Common\\Sample"));
    common_.Set(scratch + "Common");
    RemoveCommonGroup();
    EXPECT_FALSE(FolderExists(scratch + "Common\\Sample"));
}

TEST_F(UninstallShortcuts, MissingShellFolderOrTitleTouchesNothing)
{
    lstrcpyA(session.title, "Sample");
    WriteFile("Desktop\\Sample.lnk", "L");
    desktop_.Remove();
    RemoveShortcuts(PLACE_DESKTOP);
    EXPECT_TRUE(FileExists(scratch + "Desktop\\Sample.lnk"));

    // Without a title the group would be the programs folder itself.
    session.title[0] = 0;
    session.groupCount = 1;
    WriteFile("Programs\\Other.lnk", "L");
    RemoveShortcuts(PLACE_PROGRAMS);
    EXPECT_TRUE(FileExists(scratch + "Programs\\Other.lnk"));
    EXPECT_TRUE(FolderExists(scratch + "Programs"));
}
