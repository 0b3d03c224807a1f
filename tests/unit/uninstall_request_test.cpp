// The uninstall request of /r: confirmation, the copy in the system directory, the
// relaunch.
#include "support.h"
#include "common/host.h"
#include "common/session.h"
#include "common/texts.h"
#include "uninstall/request.h"

static std::string execCommand;
static std::string execDirectory;
static UINT execResult;
static UINT WINAPI FakeWinExec(LPCSTR command, UINT)
{
    execCommand = command;
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    execDirectory = dir;
    return execResult;
}

class UninstallRequest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        host.winExec = FakeWinExec;
        execCommand.clear();
        execResult = 33;
        GetSystemDirectoryA(system, sizeof system);
        lstrcpyA(session.title, "Sample Editor");
        lstrcpyA(session.installerName, "UNITREQ.EXE");
        lstrcpyA(session.installerPath, WriteFile("inst dir\\UNITREQ.EXE", "program").c_str());
        copy = std::string(system) + "\\UNITREQ.EXE";
        DeleteFileA(copy.c_str());
    }
    void TearDown() override
    {
        DeleteFileA(copy.c_str());
        SessionTest::TearDown();
    }
    char system[MAX_PATH];
    std::string copy;
};

TEST_F(UninstallRequest, CancelChangesNothing)
{
    QueueAnswers({IDCANCEL});
    RequestUninstall();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, "Sample Editor");
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OKCANCEL | MB_ICONINFORMATION));
    EXPECT_EQ(shownMessages[0].text, TextWith(T_UNINSTALL_CONFIRM, "Sample Editor"));
    EXPECT_FALSE(FileExists(copy));
    EXPECT_TRUE(execCommand.empty());
}

TEST_F(UninstallRequest, OkCopiesAndRelaunchesFromTheSystemDirectory)
{
    session.residentApp = 1;
    SetFileAttributesA(session.installerPath, FILE_ATTRIBUTE_READONLY);
    RequestUninstall();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_UNINSTALL_CONFIRM, "Sample Editor") +
                                         Text(T_UNINSTALL_CONFIRM_RESIDENT));
    EXPECT_EQ(ReadFileBytes(copy), "program");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(execCommand, copy + " x " + session.installerPath);
    EXPECT_EQ(lstrcmpiA(execDirectory.c_str(), system), 0);
    SetFileAttributesA(session.installerPath, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(UninstallRequest, FailedRelaunchIsReported)
{
    execResult = 2;
    RequestUninstall();
    ASSERT_EQ(shownMessages.size(), 2u);
    EXPECT_EQ(shownMessages[1].text, Text(T_RELAUNCH_FAILED));
    EXPECT_EQ(shownMessages[1].caption, Text(T_ERROR_CAPTION));
}

// An installation so deep that its relaunch command is longer than a path (its uninstall
// entry still fits): the copy is made and the whole command run, path and all.
TEST_F(UninstallRequest, DeepInstallationIsRelaunchedWithTheWholePath)
{
    std::string deep = std::string(100, 'd') + "\\";
    deep += std::string(250 - scratch.size() - deep.size() - 12, 'f') + "\\UNITREQ.EXE";
    lstrcpyA(session.installerPath, WriteFile(deep, "program").c_str());
    ASSERT_EQ(lstrlenA(session.installerPath), 250);
    RequestUninstall();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_GT(execCommand.size(), 259u);
    EXPECT_EQ(execCommand, copy + " x " + session.installerPath);
    EXPECT_EQ(ReadFileBytes(copy), "program");
}
