// Loading the setup information file: checks, the earlier-installation scan, the proposal
// of the destination folder and the entry counts.
#include "support.h"
#include "base/registry.h"
#include "common/texts.h"
#include "setupinfo/context.h"
#include "core/setupinfo.h"
#include "setupinfo/entries.h"
#include "common/probes.h"
#include "common/session.h"
#include "common/keys.h"

// An Uninstall sub-key made for one test and deleted after it.
class UninstallEntry {
public:
    UninstallEntry(const std::string& name, const std::string& command) : name_(name)
    {
        RegKey key;
        std::string path = std::string(UNINSTALL_KEY) + name;
        EXPECT_EQ(key.Create(HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        if (key)
            RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE*)command.c_str(),
                           (DWORD)command.size() + 1);
    }
    ~UninstallEntry()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(UNINSTALL_KEY) + name_).c_str());
    }
private:
    std::string name_;
};

class Context : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        lstrcpyA(session.installerName, "INSTALL.EXE");
        lstrcpyA(session.infName, "INSTALL.INF");
    }
    std::string ErrorText(int index = 0)
    {
        return index < (int)shownMessages.size() ? shownMessages[index].text : "";
    }
    // Whether [Install] is held shows once INSTALL.INF (of text inf) names another first
    // entry on disk: the held copy still gives the old one. The file is put back.
    bool SectionIsHeld(const std::string& inf)
    {
        ResolveEntry(1);
        std::string before = session.entryValue;
        WriteInf("INSTALL.INF", "[Install]\r\n1=changed-on-disk.txt\r\n");
        ResolveEntry(1);
        bool held = before == session.entryValue;
        WriteInf("INSTALL.INF", inf);
        return held;
    }
};

TEST_F(Context, ProposalAndCountsForAFreshInstallation)
{
    WriteInf("pkg\\INSTALL.INF",
             "[Install]\r\nTitle=Sample Editor\r\nFolder=SampleEd\r\n"
             "1=sample.exe\r\n2=readme.txt\r\n3=plug.dll,plugins\\plug.dll\r\n5=gap.txt\r\n"
             "[Group]\r\n1=Sample Editor,sample.exe\r\n2=Read Me,readme.txt\r\n3=NoComma\r\n4=x,y\r\n");
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_TRUE(shownMessages.empty());
    std::string lowered = scratch + "pkg\\install.inf";
    CharLowerA(&lowered[0]);
    EXPECT_STREQ(session.infPath, lowered.c_str());
    EXPECT_STREQ(session.title, "Sample Editor");
    EXPECT_STREQ(session.destFolder, "C:\\SampleEd\\");
    EXPECT_STREQ(session.previousFolder, "");
    EXPECT_EQ(session.entryCount, 3);
    EXPECT_EQ(session.groupCount, 2);
    EXPECT_EQ(session.residentApp, 0);
}

TEST_F(Context, RefusalsShowTheirMessagesAndChangeNothing)
{
    const struct { const char* inf; TextId text; } cases[] = {
        {"[Install]\r\nTitle=A\r\n", T_DAMAGED_FILE},
        {"[Install]\r\nFolder=A\r\n", T_DAMAGED_FILE},
        {"", T_DAMAGED_FILE},
        {"[Install]\r\nTitle=startup\r\nFolder=A\r\n", T_STARTUP_TITLE},
        {"[Install]\r\nTitle=A\r\nFolder=Soft\\Sample\r\n", T_SUBFOLDER},
    };
    for (const auto& c : cases) {
        ResetSession();
        shownMessages.clear();
        WriteInf("INSTALL.INF", c.inf);
        EXPECT_EQ(LoadSetupContext(), 0) << c.inf;
        ASSERT_EQ(shownMessages.size(), 1u) << c.inf;
        EXPECT_EQ(shownMessages[0].text, Text(c.text));
        EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
        EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
        EXPECT_STREQ(session.destFolder, "");
    }
    ResetSession();
    shownMessages.clear();
    session.infPath[0] = 0;
    lstrcpyA(session.infPath, (scratch + "missing.inf").c_str());
    EXPECT_EQ(LoadSetupContext(), 0);
    EXPECT_EQ(ErrorText(), Text(T_DAMAGED_FILE));
}

TEST_F(Context, UnreadableStartupFolderIsRefused)
{
    SavedRegValue startup(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Startup");
    startup.Remove();
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=A\r\nFolder=B\r\n");
    EXPECT_EQ(LoadSetupContext(), 0);
    EXPECT_EQ(ErrorText(), Text(T_REGISTRY_UNREADABLE));
}

// A Startup folder whose name is longer than any Title (at most 99 bytes) cannot be
// equal to it: the run goes on instead of stopping with the registry message.
TEST_F(Context, StartupFolderTooLongForAnyTitleIsNoObstacle)
{
    SavedRegValue startup(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Startup");
    startup.Set("C:\\Menu\\" + std::string(200, 's'));
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=" + std::string(99, 's') + "\r\nFolder=B\r\n");
    EXPECT_EQ(LoadSetupContext(), 1);
    EXPECT_TRUE(shownMessages.empty()) << ErrorText();
    EXPECT_STREQ(session.destFolder + 3, "B\\");
}

TEST_F(Context, ResidentOnlyWhenTsrBeginsWithOne)
{
    const struct { const char* value; int resident; } cases[] = {
        {"1", 1}, {"10", 1}, {"1abc", 1}, {"0", 0}, {"yes", 0}, {"", 0}, {"01", 0},
    };
    for (const auto& c : cases) {
        ResetSession();
        WriteInf("INSTALL.INF", std::string("[Install]\r\nTitle=A\r\nFolder=B\r\nTSR=") + c.value + "\r\n");
        ASSERT_EQ(LoadSetupContext(), 1);
        EXPECT_EQ(session.residentApp, c.resident) << c.value;
    }
}

TEST_F(Context, EarlierInstallationNeedsEntryOnesFile)
{
    std::string installed = scratch + "Tools\\SampleEd\\";
    WriteFile("Tools\\SampleEd\\app.exe", "x");
    std::string inf = "[Install]\r\nTitle=A\r\nFolder=UnitScanApp\r\n1=app.exe,bin\\app.exe\r\n";
    WriteInf("pkg\\INSTALL.INF", inf);
    UninstallEntry entry("UnitScanApp", "\"" + installed + "INSTALL.EXE\" /r");

    // Entry 1's destination is bin\app.exe, but only its last element is looked for.
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.destFolder, installed.c_str());
    EXPECT_STREQ(session.previousFolder, installed.c_str());

    DeleteFileA((installed + "app.exe").c_str());
    ResetSession();
    WriteInf("pkg\\INSTALL.INF", inf);
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.destFolder, "C:\\UnitScanApp\\");
    EXPECT_STREQ(session.previousFolder, "");
}

// Entry 1's destination at the longest path (259 bytes): its whole last element is looked
// for, so the earlier installation is found and proposed.
TEST_F(Context, EarlierInstallationAtTheLongestPath)
{
    std::string installed = scratch + "Deep\\";
    installed += std::string(230 - installed.size() - 1, 'd') + "\\";
    ASSERT_EQ(installed.size(), 230u);  // the command, 246 bytes, is read whole
    std::string relative = std::string(18, 'b') + "\\sample.exe";
    ASSERT_EQ(installed.size() + relative.size(), (size_t)kPathSize - 1);
    WriteFile(installed.substr(scratch.size()) + "sample.exe", "x");
    WriteInf("pkg\\INSTALL.INF",
             "[Install]\r\nTitle=A\r\nFolder=UnitDeepApp\r\n1=sample.exe," + relative + "\r\n");
    UninstallEntry entry("UnitDeepApp", "\"" + installed + "INSTALL.EXE\" /r");
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.destFolder, installed.c_str());
    EXPECT_STREQ(session.previousFolder, installed.c_str());
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(Context, OnlyExactCaseInstallerCommandsAreCandidates)
{
    std::string installed = scratch + "App\\";
    WriteFile("App\\app.exe", "x");
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=A\r\nFolder=UnitCaseApp\r\n1=app.exe\r\n");
    {
        UninstallEntry mixed("UnitCaseApp", "\"" + installed + "Install.exe\" /r");
        ASSERT_EQ(LoadSetupContext(), 1);
        EXPECT_STREQ(session.previousFolder, "");
    }
    {
        ResetSession();
        WriteInf("INSTALL.INF", "[Install]\r\nTitle=A\r\nFolder=UnitCaseApp\r\n1=app.exe\r\n");
        UninstallEntry upper("UnitCaseApp", installed + "INSTALL.EXE /R");
        ASSERT_EQ(LoadSetupContext(), 1);
        EXPECT_STREQ(session.previousFolder, installed.c_str());
    }
}

TEST_F(Context, OverlongOrOddUninstallStringsAreSkipped)
{
    WriteFile("App\\app.exe", "x");
    WriteInf("INSTALL.INF", "[Install]\r\nTitle=A\r\nFolder=UnitOddApp\r\n1=app.exe\r\n");
    std::string longCommand = "\"" + scratch + "App\\" + std::string(300, 'a') + "\\INSTALL.EXE\" /r";
    UninstallEntry tooLong("UnitOddApp1", longCommand);
    UninstallEntry exact256("UnitOddApp2", std::string(256, 'b') + "install.exe /r");
    UninstallEntry noColon("UnitOddApp3", "INSTALL.EXE /r");
    UninstallEntry colonFirst("UnitOddApp4", ":\\INSTALL.EXE /r");
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_STREQ(session.destFolder, "C:\\UnitOddApp\\");

    char folder[kPathSize];
    EXPECT_EQ(FolderOfUninstallString("\"C:\\SampleEd\\INSTALL.EXE\" /r", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\SampleEd\\");
    EXPECT_EQ(FolderOfUninstallString("\"D:\\Tools\\Sample Ed\\INSTALL.EXE\" /r", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "D:\\Tools\\Sample Ed\\");
    EXPECT_EQ(FolderOfUninstallString(":\\INSTALL.EXE /r", folder, sizeof folder), 0);
    EXPECT_EQ(FolderOfUninstallString("INSTALL.EXE /r", folder, sizeof folder), 0);
    EXPECT_EQ(FolderOfUninstallString("C:\\abcdefgh\\x", folder, 8), 0);
}

TEST_F(Context, EntryResolution)
{
    WriteInf("INSTALL.INF",
             "[Install]\r\n1=app.exe\r\n2=app.exe,bin\\app.exe\r\n3=a.exe,b.exe,c.exe\r\n4=,x.exe\r\n"
             "[Group]\r\n1=Uninstall,install.exe,/r\r\n2=Sample Editor\r\n");
    lstrcpyA(session.destFolder, "C:\\Soft\\");
    EXPECT_EQ(ResolveEntry(1), 1);
    EXPECT_STREQ(session.entryValue, "app.exe");
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\app.exe");
    EXPECT_STREQ(session.entryTarget + session.entryRelative, "app.exe");
    ResolveEntry(2);
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\bin\\app.exe");
    EXPECT_STREQ(session.entryTarget + session.entryRelative, "bin\\app.exe");
    ResolveEntry(3);
    EXPECT_STREQ(session.entryValue, "a.exe");
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\b.exe,c.exe");
    ResolveEntry(4);
    EXPECT_STREQ(session.entryValue, "");
    ResolveEntry(-1);
    EXPECT_STREQ(session.entryValue, "INSTALL.EXE");
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\INSTALL.EXE");
    ResolveEntry(0);
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\INSTALL.INF");
    EXPECT_EQ(ResolveGroupEntry(1), 1);
    EXPECT_STREQ(session.entryValue, "Uninstall");
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\install.exe,/r");
    ResolveGroupEntry(2);
    EXPECT_STREQ(session.entryValue, "");
    EXPECT_STREQ(session.entryTarget, "C:\\Soft\\install.exe,/r") << "left as it was";
}

TEST_F(Context, DestinationThatDoesNotFitIsNeverCut)
{
    WriteInf("INSTALL.INF", "[Install]\r\n1=src.txt," + std::string(40, 'n') + ".txt\r\n");
    std::string dest = "C:\\" + std::string(210, 'd') + "\\";  // 214 characters
    lstrcpyA(session.destFolder, dest.c_str());
    EXPECT_EQ(ResolveEntry(1), 1);  // 214 + 44 = 258 fits
    EXPECT_EQ(strlen(session.entryTarget), 258u);
    dest = "C:\\" + std::string(212, 'd') + "\\";  // 216 + 44 = 260 does not
    lstrcpyA(session.destFolder, dest.c_str());
    EXPECT_EQ(ResolveEntry(1), 0);
    EXPECT_STREQ(session.entryTarget, "");
    EXPECT_STREQ(session.entryValue, "src.txt");
}

TEST_F(Context, HeldSectionReadsLikeTheProfileApi)
{
    std::string inf = "[Install]\r\nTitle=T\r\n1=app.exe\r\n2 = spaced.txt , sub\\x.txt \r\n"
                      "3=\"quoted name.txt\"\r\n4='single.txt'\r\n5=\"half.txt\r\n6=\"\r\n"
                      "7=first.txt\r\n7=second.txt\r\n9=" + std::string(300, 'v') + "\r\n"
                      "10=,lead.txt\r\n11=a.exe,b.exe,c.exe\r\n";
    WriteInf("INSTALL.INF", inf);
    lstrcpyA(session.destFolder, "C:\\Soft\\");
    std::vector<std::string> direct;
    for (int n = 1; n <= 12; n++) {
        ResolveEntry(n);
        direct.push_back(std::string(session.entryValue) + "|" + session.entryTarget);
    }
    {
        InstallSectionHold held;
        for (int n = 1; n <= 12; n++) {
            ResolveEntry(n);
            EXPECT_EQ(std::string(session.entryValue) + "|" + session.entryTarget, direct[n - 1])
                << "entry " << n;
        }
    }
    EXPECT_EQ(direct[2], "quoted name.txt|C:\\Soft\\quoted name.txt");
    EXPECT_EQ(direct[6], "first.txt|C:\\Soft\\first.txt");
    EXPECT_EQ(direct[7], "|C:\\Soft\\");  // 8 is missing
}

// The held section is read by our own code: it must read what the profile API reads on
// every system, also from sections given as the files hold them (some systems hand the
// lines over as written, blanks and quotes included).
TEST(SectionValues, ReadLikeTheProfileApiFromLiteralSections)
{
    static const char section[] =
        "Title=T\0"
        "1 = a.exe \0"
        "2\t=\tb.exe,sub\\b.exe\t\0"
        "3=\"quoted name.txt\"\0"
        "4='single.txt'\0"
        "5=\"half.txt\0"
        "6=\"\0"
        "7=first.txt\0"
        "7=second.txt\0"
        "8\0"
        "  9  =  ' spaced '  \0"
        "10=\"\"\0"
        "Key=Upper\0"
        "12=a=b\0"
        "=nameless\0"
        "13=\"mixed'\0";
    const struct { const char* key; const char* value; } cases[] = {
        {"Title", "T"}, {"title", "T"}, {"1", "a.exe"}, {"2", "b.exe,sub\\b.exe"},
        {"3", "quoted name.txt"}, {"4", "single.txt"}, {"5", "\"half.txt"}, {"6", "\""},
        {"7", "first.txt"}, {"8", ""}, {"9", " spaced "}, {"10", ""}, {"KEY", "Upper"},
        {"11", ""}, {"12", "a=b"}, {"nameless", ""}, {"13", "\"mixed'"},
    };
    for (const auto& c : cases) {
        char value[kPathSize] = "stale";
        ReadSectionValue(section, c.key, value, sizeof value);
        EXPECT_STREQ(value, c.value) << "key " << c.key;
    }
    char small[4];
    ReadSectionValue(section, "3", small, sizeof small);
    EXPECT_STREQ(small, "quo");
    ReadSectionValue("\0", "1", small, sizeof small);
    EXPECT_STREQ(small, "");
}

// A section larger than the host reads at once (32 KB on the 9x family, where the read
// then returns its size - 2) is not held: every entry is read through the profile API,
// so the entries behind the cut are found too. NT hosts hold it whole.
TEST_F(Context, SectionLargerThanTheReadFallsBackToSingleReads)
{
    std::string inf = "[Install]\r\nTitle=T\r\nFolder=F\r\n";
    for (int n = 1; n <= 1000; n++)
        inf += std::to_string(n) + " = file_with_a_long_name_" + std::to_string(n) + ".txt \r\n";
    ASSERT_GT(inf.size(), 34000u);
    WriteInf("INSTALL.INF", inf);
    lstrcpyA(session.destFolder, "C:\\Soft\\");
    for (int osClass : {1, 8}) {
        session.osClass = osClass;
        InstallSectionHold held;
        EXPECT_EQ(SectionIsHeld(inf), osClass >= 3) << osClass;
        for (int n : {1, 999, 1000}) {
            ResolveEntry(n);
            EXPECT_EQ(std::string(session.entryValue),
                      "file_with_a_long_name_" + std::to_string(n) + ".txt")
                << "entry " << n << " on class " << osClass;
        }
        ResolveEntry(1001);
        EXPECT_STREQ(session.entryValue, "");
    }
    session.osClass = 1;
    ASSERT_EQ(LoadSetupContext(), 1);
    EXPECT_EQ(session.entryCount, 1000);
}

TEST_F(Context, HeldSectionFindsNumbersInAnyOrderAndOnlyAsWritten)
{
    // Entries out of order, a key with a leading zero, a number beyond the section's
    // size, a key that is a number followed by letters, blanks around keys, a key without
    // "=", and many entries (more than 32 KB, held on an NT host).
    std::string inf = "[Install]\r\n3=third.txt\r\n01=zero.txt\r\n1=one.txt\r\n"
                      "2x=letters.txt\r\n2=two.txt\r\n5000=far.txt\r\n4=four.txt\r\n"
                      "1=again.txt\r\n 6 = six.txt \r\n\t7\t=seven.txt\r\n8\r\n";
    for (int n = 9; n <= 3000; n++) inf += std::to_string(n) + "=b" + std::to_string(n) + ".dat\r\n";
    WriteInf("INSTALL.INF", inf);
    lstrcpyA(session.destFolder, "C:\\Soft\\");
    session.osClass = 8;
    const int probes[] = {1, 2, 3, 4, 5, 6, 7, 8, 999, 2999, 3000, 3001, 4999, 5000, 5001};
    std::vector<std::string> direct;
    for (int n : probes) {
        ResolveEntry(n);
        direct.push_back(session.entryValue);
    }
    InstallSectionHold held;
    ASSERT_TRUE(SectionIsHeld(inf));
    for (size_t i = 0; i < direct.size(); i++) {
        ResolveEntry(probes[i]);
        EXPECT_EQ(session.entryValue, direct[i]) << "entry " << probes[i];
    }
    EXPECT_EQ(direct[0], "one.txt");  // not 01, and the first of the two
    EXPECT_EQ(direct[1], "two.txt");
    EXPECT_EQ(direct[4], "");  // 5 is missing
    EXPECT_EQ(direct[5], "six.txt");
    EXPECT_EQ(direct[6], "seven.txt");
    EXPECT_EQ(direct[7], "");
    EXPECT_EQ(direct[10], "b3000.dat");
    EXPECT_EQ(direct[13], "far.txt");
}
