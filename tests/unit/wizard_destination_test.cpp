// The Next checks of the destination page, driven without a window, and the page itself.
#include "wizard_fixture.h"
#include "common/texts.h"
#include "resources/resource.h"
#include "core/text.h"

class WizardNext : public WizardTest {
protected:
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5151));
    int Check(const std::string& text)
    {
        lstrcpynA(session.destFolder, text.c_str(), sizeof session.destFolder);
        return CheckDestination(owner);
    }
    void ExpectOneError(const std::string& text)
    {
        ASSERT_EQ(shownMessages.size(), 1u);
        EXPECT_EQ(shownMessages[0].owner, owner);
        EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
        EXPECT_EQ(shownMessages[0].text, text);
        EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
        shownMessages.clear();
    }
};

TEST_F(WizardNext, RootsAreRefused)
{
    const char* root = Text(T_ROOT_DIRECTORY);
    EXPECT_EQ(Check(""), 0);
    EXPECT_STREQ(session.destFolder, "\\");  // taken and normalised even when refused
    ExpectOneError(root);
    EXPECT_EQ(Check("\\"), 0);
    ExpectOneError(root);
    EXPECT_EQ(Check("C"), 0);
    EXPECT_STREQ(session.destFolder, "C\\");
    ExpectOneError(root);
}

TEST_F(WizardNext, DriveRootIsAcceptedWithoutTouchingIt)
{
    EXPECT_EQ(Check("C:"), 1);
    EXPECT_STREQ(session.destFolder, "C:\\");
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_TRUE(FolderExists("C:\\windows"));
}

TEST_F(WizardNext, TextWithoutDriveAndPathIsRefused)
{
    const char* drive = Text(T_DRIVE_AND_PATH);
    EXPECT_EQ(Check("Soft"), 0);
    EXPECT_STREQ(session.destFolder, "Soft\\");
    ExpectOneError(drive);
    EXPECT_EQ(Check("\\\\server\\share"), 0);
    ExpectOneError(drive);
    EXPECT_EQ(Check("C:Soft"), 0);
    ExpectOneError(drive);
    EXPECT_FALSE(FolderExists("C:\\windows\\system32\\Soft"));
}

TEST_F(WizardNext, FolderOneCharacterTooLongIsRefusedUncut)
{
    std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters, no backslash
    EXPECT_EQ(Check(longest), 0);
    EXPECT_EQ(std::string(session.destFolder), longest);
    ExpectOneError(Text(T_FOLDER_TOO_LONG));
    // One character less still gets its backslash and goes on to the creation test.
    WriteFile("Blocker", "a file");
    std::string fits = scratch + "Blocker\\";
    fits += std::string(258 - fits.size(), 'b');
    EXPECT_EQ(Check(fits), 0);
    EXPECT_EQ(lstrlenA(session.destFolder), 259);
    EXPECT_EQ(std::string(session.destFolder), fits + "\\");
    ExpectOneError(TextWith(T_FOLDER_IS_FILE, scratch + "Blocker"));
}

TEST_F(WizardNext, CreationTestLeavesOnlyTheUpperLevels)
{
    EXPECT_EQ(Check(scratch + "New\\Deeper\\Deepest"), 1);
    EXPECT_EQ(std::string(session.destFolder), scratch + "New\\Deeper\\Deepest\\");
    EXPECT_EQ(session.progressWindow, owner);
    EXPECT_TRUE(FolderExists(scratch + "New\\Deeper"));
    EXPECT_FALSE(FolderExists(scratch + "New\\Deeper\\Deepest"));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(WizardNext, ExistingFolderIsNotTouched)
{
    WriteFile("Have\\keep.txt", "data");
    session.progressWindow = NULL;
    EXPECT_EQ(Check(scratch + "Have\\"), 1);
    EXPECT_EQ(session.progressWindow, (HWND)NULL);  // no creation test at all
    EXPECT_EQ(ReadFileBytes(scratch + "Have\\keep.txt"), "data");
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(WizardNext, FileInTheWayNamesItAndCreatesNothing)
{
    WriteFile("Soft", "not a folder");
    EXPECT_EQ(Check(scratch + "Soft\\Tools\\"), 0);
    ExpectOneError(TextWith(T_FOLDER_IS_FILE, scratch + "Soft"));
    EXPECT_TRUE(FileExists(scratch + "Soft"));
}

// A file that has the destination's own name is refused as well (every copy into it would
// fail), with the message named by the destination without its trailing backslash, in
// the run's language.
TEST_F(WizardNext, DestinationThatIsAFileIsRefused)
{
    WriteFile("Plain", "x");
    char expected[kMessageSize];
    FormatText(expected, sizeof expected, Text(T_FOLDER_IS_FILE), (scratch + "Plain").c_str());
    for (const char* typed : {"Plain", "Plain\\"}) {
        shownMessages.clear();
        EXPECT_EQ(Check(scratch + typed), 0) << typed;
        ASSERT_EQ(shownMessages.size(), 1u) << typed;
        EXPECT_EQ(shownMessages[0].text, expected);
        EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
        EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
        EXPECT_EQ(shownMessages[0].owner, owner);
    }
    EXPECT_EQ(ReadFileBytes(scratch + "Plain"), "x");
}

TEST_F(WizardNext, LowFreeSpaceAsksBelowOneHundredMegabytes)
{
    std::string folder = scratch + "Free\\";
    Available() = 100ULL << 20;
    EXPECT_EQ(Check(folder), 1);
    EXPECT_TRUE(shownMessages.empty());

    Available() = (100ULL << 20) - 1;  // 99 whole megabytes
    QueueAnswers({IDNO});
    EXPECT_EQ(Check(folder), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, "Sample Editor");
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FREE_SPACE, 99u));
    QueueAnswers({IDYES});
    EXPECT_EQ(Check(folder), 1);
    EXPECT_EQ(shownMessages.size(), 2u);
}

TEST_F(WizardNext, EarlierInstallationQuestion)
{
    WriteFile("Old\\install.inf", "[Install]\r\n");
    std::string folder = scratch + "Old\\";
    session.isUpgrade = 1;
    QueueAnswers({IDYES});  // assign another folder
    EXPECT_EQ(Check(folder), 0);
    EXPECT_EQ(session.isUpgrade, 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, "Sample Editor");
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(shownMessages[0].text, Text(T_UNINSTALL_INFO));
    QueueAnswers({IDNO});  // the same folder asks again; No goes on as an upgrade
    EXPECT_EQ(Check(folder), 1);
    EXPECT_EQ(session.isUpgrade, 1);
    EXPECT_EQ(shownMessages.size(), 2u);
}

TEST_F(WizardNext, EarlierInstallationOfThisProgramGoesOnWithoutAsking)
{
    WriteFile("Old\\install.inf", "[Install]\r\n");
    std::string folder = scratch + "Old";
    lstrcpyA(session.previousFolder, (scratch + "Old\\").c_str());
    LowerAscii(session.previousFolder);
    EXPECT_EQ(Check(folder), 1);
    EXPECT_EQ(session.isUpgrade, 1);
    EXPECT_TRUE(shownMessages.empty());
    // Without an install.inf the flag keeps its value.
    session.isUpgrade = 0;
    EXPECT_EQ(Check(scratch + "Fresh"), 1);
    EXPECT_EQ(session.isUpgrade, 0);
}

TEST_F(WizardNext, FirstRefusalEndsTheChecks)
{
    WriteFile("Old\\install.inf", "[Install]\r\n");
    Available() = 50ULL << 20;
    QueueAnswers({IDNO});
    EXPECT_EQ(Check(scratch + "Old"), 0);
    EXPECT_EQ(shownMessages.size(), 1u);  // no uninstall question after the No
    EXPECT_EQ(session.isUpgrade, 0);
}

class WizardDestinationPage : public WizardTest {};

TEST_F(WizardDestinationPage, InitialisationActivationAndNext)
{
    WriteInf("install.inf", "[Group]\r\n1=Remove,install.exe,/r\r\n");
    lstrcpyA(session.destFolder, (scratch + "Dest\\").c_str());
    HWND page = MakePage(IDD_DESTINATION, DestinationPageProc);
    ASSERT_TRUE(page);
    EXPECT_EQ(session.sheetWindow, sheet);
    EXPECT_EQ(session.hasUninstallItem, 1);
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_DEST_EDIT, EM_GETLIMITTEXT, 0, 0), 259);
    EXPECT_EQ(ItemText(page, IDC_HEADING), TextWith(T_HEADING, "Sample Editor"));
    EXPECT_EQ(WindowText(sheet), TextWith(T_SHEET_CAPTION, "Sample Editor"));
    std::string caption = WindowText(sheet);

    Notify(page, PSN_SETACTIVE);
    EXPECT_EQ(ItemText(page, IDC_DEST_EDIT), scratch + "Dest\\");
    SetWindowTextA(sheet, "");  // as the sheet does when it shows a page
    Pump([] { return 0; }, 100);
    EXPECT_EQ(WindowText(sheet), caption);

    SetDlgItemTextA(page, IDC_DEST_EDIT, "Soft");
    EXPECT_EQ(Notify(page, PSN_WIZNEXT), -1);
    EXPECT_STREQ(session.destFolder, "Soft\\");
    EXPECT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].owner, page);

    SetDlgItemTextA(page, IDC_DEST_EDIT, (scratch + "Dest").c_str());
    EXPECT_EQ(Notify(page, PSN_WIZNEXT), 0);
    EXPECT_EQ(std::string(session.destFolder), scratch + "Dest\\");
    Notify(page, PSN_SETACTIVE);  // after Back: the normalised folder
    EXPECT_EQ(ItemText(page, IDC_DEST_EDIT), scratch + "Dest\\");

    session.residentApp = 1;  // the sheet is sent to the copy page; this Next keeps still
    EXPECT_EQ(Notify(page, PSN_WIZNEXT), -1);
    EXPECT_EQ(shownMessages.size(), 1u);
    DestroyWindow(page);
}

TEST_F(WizardDestinationPage, CenterWindowCentresWithoutResizing)
{
    SetWindowPos(sheet, NULL, 5, 7, 300, 201, SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow(sheet);
    RECT frame;
    GetWindowRect(sheet, &frame);
    EXPECT_EQ(frame.right - frame.left, 300);
    EXPECT_EQ(frame.bottom - frame.top, 201);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 201) / 2);
}
