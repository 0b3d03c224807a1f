// The command line and locating the setup files.
#include "support.h"
#include "common/texts.h"
#include "startup/entry.h"
#include "common/host.h"
#include "common/session.h"

// The tail as WinMain delivers it: one leading "/" is stepped over, and only one.
TEST(CommandLine, ModesOfTheTail)
{
    const struct {
        const char* tail;
        RunMode mode;
        const char* rest;
    } cases[] = {
        {"/r", MODE_UNINSTALL_REQUEST, "r"},
        {"r", MODE_UNINSTALL_REQUEST, "r"},
        {"/R", MODE_UNINSTALL_REQUEST, "R"},
        {"Rest", MODE_UNINSTALL_REQUEST, "Rest"},
        {"x C:\\App\\INSTALL.EXE", MODE_UNINSTALL_RUN, "x C:\\App\\INSTALL.EXE"},
        {"/x C:\\App\\INSTALL.EXE", MODE_UNINSTALL_RUN, "x C:\\App\\INSTALL.EXE"},
        {"X C:\\App\\INSTALL.EXE", MODE_INSTALL, "X C:\\App\\INSTALL.EXE"},
        {"-r", MODE_INSTALL, "-r"},
        {"//r", MODE_INSTALL, "/r"},
        {"//R", MODE_INSTALL, "/R"},
        {"//x C:\\App\\INSTALL.EXE", MODE_INSTALL, "/x C:\\App\\INSTALL.EXE"},
        {"/", MODE_INSTALL, ""},
        {"", MODE_INSTALL, ""},
    };
    for (const auto& c : cases) {
        RunMode mode = MODE_UNINSTALL_RUN;
        EXPECT_STREQ(ReadCommandTail(c.tail, &mode), c.rest) << c.tail;
        EXPECT_EQ(mode, c.mode) << c.tail;
    }
}

class Locate : public SessionTest {};

// The whole start-up with "//x <folder>\INSTALL.EXE": install mode, so the setup files are
// looked for beside the running program, never in the folder named after "x" (which an
// uninstall run would empty). No setup information file lies beside the test program, so
// the run ends at the damaged-file message instead of opening the wizard.
TEST_F(Locate, DoubleSlashTailsStartInInstallMode)
{
    WriteFile("App\\INSTALL.EXE", "MZ");
    std::string app = scratch + "App\\";
    for (const std::string prefix : {"//x ", "/x "}) {
        ResetSession();
        shownMessages.clear();
        std::string tail = prefix + app + "INSTALL.EXE";
        EXPECT_EQ(RunProgram(GetModuleHandleA(NULL), tail.c_str()), 1);
        ASSERT_EQ(shownMessages.size(), 1u) << tail;
        EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
        if (prefix == "/x ") {
            EXPECT_STREQ(session.sourceFolder, app.c_str());
        } else {
            EXPECT_STRNE(session.sourceFolder, app.c_str());
            EXPECT_EQ(strncmp(session.installerPath, session.sourceFolder,
                              strlen(session.sourceFolder)), 0)
                << session.installerPath;
        }
    }
    EXPECT_TRUE(FileExists(app + "INSTALL.EXE"));
}

TEST_F(Locate, PathAfterXIsTakenWhole)
{
    WriteFile("Program Files\\App\\INSTALL.INF", "[Install]\r\n");
    std::string tail = "x " + scratch + "Program Files\\App\\INSTALL.EXE";
    int fallback = 1;
    ASSERT_EQ(LocateSetupFiles(tail.c_str(), &fallback), 1);
    EXPECT_EQ(fallback, 0);
    EXPECT_STREQ(session.sourceFolder, (scratch + "Program Files\\App\\").c_str());
    EXPECT_STREQ(session.installerName, "INSTALL.EXE");
    EXPECT_STREQ(session.infName, "INSTALL.INF");
    EXPECT_STREQ(session.infPath, (scratch + "Program Files\\App\\INSTALL.INF").c_str());
}

TEST_F(Locate, InstallModeUsesTheFoundProgramAndFallsBackByLanguage)
{
    lstrcpyA(session.installerPath, (scratch + "SETUP.EXE").c_str());
    int fallback = 0;
    ASSERT_EQ(LocateSetupFiles("", &fallback), 1);
    EXPECT_EQ(fallback, 1);
    EXPECT_STREQ(session.standardInfName, "SETUP.INF");
    const char* expected = session.japanese ? "SETUPJ.INF" : "SETUPE.INF";
    EXPECT_STREQ(session.infName, expected);
    EXPECT_STREQ(session.infPath, (scratch + expected).c_str());
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(Locate, UnusablePathsAreRefusedWithAMessage)
{
    const char* tails[] = {"x", "x ", "x C:", "x C:\\App\\", "x C:\\App\\AB",
                           "x C:\\App\\ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVW.EXE"};
    for (const char* tail : tails) {
        shownMessages.clear();
        int fallback = 0;
        EXPECT_EQ(LocateSetupFiles(tail, &fallback), 0) << tail;
        ASSERT_EQ(shownMessages.size(), 1u) << tail;
        EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    }
    shownMessages.clear();
    session.installerPath[0] = 0;  // nothing found on the search path
    int fallback = 0;
    EXPECT_EQ(LocateSetupFiles("", &fallback), 0);
    EXPECT_EQ(shownMessages.size(), 1u);
    // 48 characters fit the name fields, also with the fallback's extra letter.
    std::string name(44, 'N');
    std::string tail = "x C:\\App\\" + name + ".EXE";
    EXPECT_EQ(LocateSetupFiles(tail.c_str(), &fallback), 1);
    EXPECT_STREQ(session.installerName, (name + ".EXE").c_str());
}
