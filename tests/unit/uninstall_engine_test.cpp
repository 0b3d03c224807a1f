// The uninstall engine: [Reg] keys, installed files, the walk of the installation folder,
// the uninstall entry and the order of its messages.
#include "uninstall_fixture.h"

#define UNIT_KEY "Software\\UninstUnitTest"

class UninstallEngine : public UninstallTest {
protected:
    void TearDown() override
    {
        DeleteKeyTree(HKEY_CURRENT_USER, UNIT_KEY);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, UNIT_KEY);
        DeleteKeyTree(HKEY_CLASSES_ROOT, "UninstUnitTest.Document");
        UninstallTest::TearDown();
    }
    bool InstalledShortcutsGone()
    {
        return !FileExists(scratch + "Programs\\Sample.lnk") &&
               !FileExists(scratch + "Desktop\\Sample.lnk") &&
               !FileExists(scratch + "Startup\\Sample.lnk");
    }
    std::string Folder() { return dest.substr(0, dest.size() - 1); }
};

TEST_F(UninstallEngine, RegKeysUnderTheThreeRootsGoWithTheirSubKeys)
{
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\App\\Deep\\Deeper");
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\App\\Side");
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\Keep");
    CreateKey(HKEY_LOCAL_MACHINE, UNIT_KEY "\\App\\Settings");
    CreateKey(HKEY_CLASSES_ROOT, "UninstUnitTest.Document\\shell\\open\\command");
    Install({"a.exe"}, "[Reg]\r\n1=HKEY_CURRENT_USER\\" UNIT_KEY "\\App\r\n"
                       "2=HKEY_LOCAL_MACHINE\\" UNIT_KEY "\\App\r\n"
                       "3=HKEY_CLASSES_ROOT\\UninstUnitTest.Document\r\n");
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\App"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Keep"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UNIT_KEY "\\App"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UNIT_KEY));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "UninstUnitTest.Document"));
    // Everything else of the installation went too.
    EXPECT_FALSE(FolderExists(Folder()));
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());
}

TEST_F(UninstallEngine, AbnormalRegValuesAreReportedAndNeverDeleteARoot)
{
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\Lower");
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\Keep");
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\Next");
    CreateKey(HKEY_LOCAL_MACHINE, UNIT_KEY "\\Keep");
    Install({"a.exe"}, "[Reg]\r\n1=hkey_current_user\\" UNIT_KEY "\\Lower\r\n"
                       "2=HKEY_CURRENT_USER\r\n"
                       "3=HKEY_LOCAL_MACHINE\\\r\n"
                       "4=HKEY_CURRENT_USER\\\\\r\n"
                       "5=Software\\UninstUnitTest\\Keep\r\n"
                       "6=HKEY_CURRENT_USER\\" UNIT_KEY "\\Next\r\n");
    EXPECT_EQ(UninstallAll(), 1);  // registry troubles do not count
    ASSERT_EQ(shownMessages.size(), 5u);
    for (const ShownMessage& box : shownMessages) {
        EXPECT_EQ(box.text, Text(T_ABNORMAL_REG));
        EXPECT_EQ(box.style, (UINT)(MB_OK | MB_ICONERROR));
        EXPECT_EQ(box.owner, session.progressWindow);
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Lower"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Keep"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UNIT_KEY "\\Keep"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SHELL_FOLDERS));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Next"));  // the value after them ran
}

TEST_F(UninstallEngine, EmptyOrMissingFirstRegValueDeletesNoKey)
{
    CreateKey(HKEY_CURRENT_USER, UNIT_KEY "\\Second");
    Install({"a.exe"}, "[Reg]\r\n2=HKEY_CURRENT_USER\\" UNIT_KEY "\\Second\r\n");
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Second"));

    Install({"a.exe"}, "[Reg]\r\n1=\r\n2=HKEY_CURRENT_USER\\" UNIT_KEY "\\Second\r\n");
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UNIT_KEY "\\Second"));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(UninstallEngine, InstalledFilesGoLastEntryFirst)
{
    Install({"one.exe", "src\\two.dll,two.dll", "three.txt"});
    LockedFile three(dest + "three.txt");
    LockedFile two(dest + "two.dll");
    QueueAnswers({IDOK, IDOK, IDNO, IDNO});
    EXPECT_EQ(UninstallAll(), 0);
    ASSERT_EQ(shownMessages.size(), 5u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_DELETE_FAILED, dest + "three.txt"));
    EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    EXPECT_EQ(shownMessages[1].text, TextWith(T_DELETE_FAILED, dest + "two.dll"));
    EXPECT_EQ(shownMessages[4].text, TextWith(T_FOLDER_NOT_DELETED, Folder()));
    // Entries 1, 0 and -1 went; the walk then offers the two locked files (kept: No).
    EXPECT_FALSE(FileExists(dest + "one.exe"));
    EXPECT_FALSE(FileExists(dest + "INSTALL.INF"));
    EXPECT_FALSE(FileExists(dest + "INSTALL.EXE"));
    EXPECT_EQ(shownMessages[2].style, (UINT)(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(shownMessages[2].caption, "Sample");
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());
}

TEST_F(UninstallEngine, LockedFirstEntryStopsAndCanBeRepeated)
{
    Install({"one.exe", "two.dll"});
    {
        LockedFile one(dest + "one.exe");
        EXPECT_EQ(UninstallAll(), 0);
        ASSERT_EQ(shownMessages.size(), 2u);
        EXPECT_EQ(shownMessages[1].style, (UINT)(MB_OK | MB_ICONERROR));
        EXPECT_EQ(shownMessages[0].text, TextWith(T_DELETE_FAILED, dest + "one.exe"));
        EXPECT_EQ(shownMessages[1].text, TextWith(T_ENTRY1_NOT_DELETED, dest + "one.exe", "Sample"));
        EXPECT_EQ(shownMessages[1].caption, Text(T_ERROR_CAPTION));
        EXPECT_FALSE(FileExists(dest + "two.dll"));  // the higher entry went first
        EXPECT_TRUE(FileExists(dest + "INSTALL.INF"));
        EXPECT_TRUE(FileExists(dest + "INSTALL.EXE"));
        EXPECT_TRUE(EntryExists());
        EXPECT_TRUE(FileExists(scratch + "Programs\\Sample.lnk"));
        EXPECT_TRUE(FileExists(scratch + "Desktop\\Sample.lnk"));
    }
    shownMessages.clear();
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(FolderExists(Folder()));
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());
}

TEST_F(UninstallEngine, FilesAlreadyGoneCountAsRemoved)
{
    Install({"one.exe", "two.dll"});
    DeleteFileA((dest + "one.exe").c_str());
    DeleteFileA((dest + "two.dll").c_str());
    DeleteFileA((dest + "INSTALL.EXE").c_str());
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(FolderExists(Folder()));

    // No entries at all: the setup information file and the installer only.
    Install({});
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(FolderExists(Folder()));
}

TEST_F(UninstallEngine, UserFileIsAskedAbout)
{
    // Yes: deleted, and the folder goes.
    Install({"one.exe"});
    WriteFile("App\\notes.txt", "mine");
    EXPECT_EQ(UninstallAll(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_ASK_DELETE, dest + "notes.txt"));
    EXPECT_EQ(shownMessages[0].caption, "Sample");
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1));
    EXPECT_FALSE(FolderExists(Folder()));

    // No: kept, the folder message follows; the uninstall entry and shortcuts still go.
    shownMessages.clear();
    Install({"one.exe"});
    WriteFile("App\\notes.txt", "mine");
    QueueAnswers({IDNO});
    EXPECT_EQ(UninstallAll(), 0);
    ASSERT_EQ(shownMessages.size(), 2u);
    EXPECT_EQ(shownMessages[1].text, TextWith(T_FOLDER_NOT_DELETED, Folder()));
    EXPECT_EQ(shownMessages[1].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(FileExists(dest + "notes.txt"));
    EXPECT_FALSE(FileExists(dest + "one.exe"));
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());

    // Cancel: the walk ends without a folder message; the rest still runs.
    shownMessages.clear();
    DeleteFileA((dest + "notes.txt").c_str());
    Install({"one.exe"});
    WriteFile("App\\notes.txt", "mine");
    QueueAnswers({IDCANCEL});
    EXPECT_EQ(UninstallAll(), 0);
    EXPECT_EQ(shownMessages.size(), 1u);
    EXPECT_TRUE(FileExists(dest + "notes.txt"));
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());
}

TEST_F(UninstallEngine, HelpIndexesGoUnaskedButOnlyWithOneDot)
{
    Install({"one.exe"});
    WriteFile("App\\x.gid", "i");
    WriteFile("App\\HELP.GID", "i");
    WriteFile("App\\Sub\\y.Gid", "i");
    WriteFile("App\\a.b.gid", "i");
    EXPECT_EQ(UninstallAll(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_NE(shownMessages[0].text.find(dest + "a.b.gid"), std::string::npos);
    EXPECT_FALSE(FolderExists(Folder()));
}

// Answers No for the file named in noFor, Yes for every other; records like the fixture.
static std::string noFor;
static int WINAPI AnswerByName(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    shownMessages.push_back({owner, text, caption, style});
    if ((style & MB_TYPEMASK) != MB_YESNOCANCEL) return IDOK;
    return std::string(text).find(noFor) != std::string::npos ? IDNO : IDYES;
}

TEST_F(UninstallEngine, NoInASubfolderLeavesTheParentsRestUnasked)
{
    Install({"one.exe"});
    for (char c = 'a'; c <= 'j'; c++) WriteFile(std::string("App\\p") + c + ".txt", "mine");
    WriteFile("App\\Sub\\deep.txt", "mine");
    noFor = "deep.txt";
    host.messageBox = AnswerByName;
    EXPECT_EQ(UninstallAll(), 0);
    // After the No for deep.txt only the message for its folder: nothing more is asked.
    size_t no = 0;
    while (no < shownMessages.size() && shownMessages[no].text.find("deep.txt") == std::string::npos)
        no++;
    ASSERT_LT(no + 1, shownMessages.size());
    EXPECT_EQ(shownMessages.size(), no + 2);
    EXPECT_EQ(shownMessages[no + 1].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shownMessages[no + 1].text, TextWith(T_FOLDER_NOT_DELETED, dest + "Sub"));
    for (char c = 'a'; c <= 'j'; c++) {
        std::string name = std::string("p") + c + ".txt";
        bool asked = false;
        for (const ShownMessage& box : shownMessages) asked |= box.text.find(name) != std::string::npos;
        EXPECT_EQ(FileExists(dest + name), !asked) << name;
    }
    EXPECT_TRUE(FileExists(dest + "Sub\\deep.txt"));
    EXPECT_TRUE(FolderExists(Folder()));
    EXPECT_FALSE(EntryExists());
}

// Long paths are made through the wide interface, which the program itself never uses.
static std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    for (char c : text) wide += (wchar_t)(unsigned char)c;
    return L"\\\\?\\" + wide;
}

static void RemoveLongTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveLongTree(path + L"\\" + name);
            else
                DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

TEST_F(UninstallEngine, PathsTooLongAreReportedNotCut)
{
    // A folder of 200 characters: a name of 70 makes a path beyond 259.
    std::string deep = scratch + "Long";
    while (deep.size() < 199) deep += "x";
    deep += "\\";
    ASSERT_TRUE(CreateDirectoryA(deep.substr(0, deep.size() - 1).c_str(), NULL));
    std::string longName(70, 'n');
    HANDLE h = CreateFileW((Wide(deep) + std::wstring(longName.begin(), longName.end())).c_str(),
                           GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    WriteFile(deep.substr(scratch.size()) + "short.txt", "mine");

    EXPECT_EQ(RemoveFolderTree(deep.c_str()), 0);
    ASSERT_EQ(shownMessages.size(), 2u);  // short.txt asked, then the folder message
    EXPECT_EQ(shownMessages[1].text,
              TextWith(T_FOLDER_NOT_DELETED, deep.substr(0, deep.size() - 1)));
    EXPECT_FALSE(FileExists(deep + "short.txt"));
    EXPECT_NE(GetFileAttributesW((Wide(deep) + std::wstring(longName.begin(), longName.end())).c_str()),
              INVALID_FILE_ATTRIBUTES);
    RemoveLongTree(Wide(deep.substr(0, deep.size() - 1)));

    // A subfolder whose search pattern does not fit: reported, and the walk above stops.
    shownMessages.clear();
    std::string sub = deep + std::string(57, 's') + "\\";  // 258 characters; pattern 261
    ASSERT_EQ(sub.size(), 258u);
    ASSERT_TRUE(CreateDirectoryA(deep.substr(0, deep.size() - 1).c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryW(Wide(sub.substr(0, sub.size() - 1)).c_str(), NULL));
    EXPECT_EQ(RemoveFolderTree(deep.c_str()), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FOLDER_NOT_DELETED, sub.substr(0, sub.size() - 1)));
    EXPECT_TRUE(FolderExists(deep));
    RemoveLongTree(Wide(deep.substr(0, deep.size() - 1)));
}

TEST_F(UninstallEngine, EmptyFolderNeverWalksTheCurrentDirectory)
{
    WriteFile("Here\\mine.txt", "mine");
    SetCurrentDirectoryA((scratch + "Here").c_str());
    EXPECT_EQ(RemoveFolderTree(""), 0);
    EXPECT_TRUE(FileExists(scratch + "Here\\mine.txt"));
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
}

// Starts a program of the host system (through drive Z:, which Wine maps to the root).
// Wine gives no reliable end or exit code of such a process: callers watch its effect.
static bool StartHostCommand(const std::string& command)
{
    std::string line = command;
    STARTUPINFOA start = {sizeof start};
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &start, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

// Waits up to five seconds for a path to appear (or to go).
static bool WaitForPath(const std::string& path, bool present)
{
    for (int i = 0; i < 100; i++) {
        if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
        Sleep(50);
    }
    return false;
}

// A spare drive letter of the prefix mapped onto a scratch folder for the test's life.
class ScratchDrive {
public:
    explicit ScratchDrive(const std::string& folder)
    {
        typedef char*(CDECL * UnixNameFn)(LPCWSTR);
        UnixNameFn unixName = (UnixNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                                "wine_get_unix_file_name");
        char prefix[MAX_PATH];
        if (!unixName || !GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return;
        std::wstring wide(folder.begin(), folder.end());
        char* target = unixName(wide.c_str());
        if (!target) return;
        for (char c = 'Y'; c >= 'M' && !letter_; c--) {
            root_ = std::string(1, c) + ":\\";
            if (GetDriveTypeA(root_.c_str()) != DRIVE_NO_ROOT_DIR ||
                GetFileAttributesA(root_.c_str()) != INVALID_FILE_ATTRIBUTES)
                continue;
            link_ = std::string(prefix) + "/dosdevices/" + (char)(c | 0x20) + ":";
            if (StartHostCommand("Z:\\bin\\ln -s " + std::string(target) + " " + link_)) {
                if (WaitForPath(root_, true)) letter_ = c;
                else StartHostCommand("Z:\\bin\\rm -f " + link_);
            }
            break;
        }
        HeapFree(GetProcessHeap(), 0, target);
    }
    ~ScratchDrive()
    {
        if (!letter_) return;
        StartHostCommand("Z:\\bin\\rm -f " + link_);
        WaitForPath(root_, false);
    }
    char letter() const { return letter_; }
private:
    char letter_ = 0;
    std::string root_, link_;
};

TEST_F(UninstallEngine, DriveRootKeepsWhatTheInstallationDidNotMake)
{
    CreateDirectoryA((scratch + "Root").c_str(), NULL);
    ScratchDrive drive(scratch + "Root");
    if (!drive.letter()) GTEST_SKIP() << "no drive letter could be mapped in this prefix";
    std::string root = std::string(1, drive.letter()) + ":\\";
    Install({"one.exe", "two.dll"}, "", "Root\\");
    WriteFile("Root\\user.txt", "mine");
    WriteFile("Root\\old.gid", "i");
    WriteFile("Root\\Other\\x.txt", "mine");
    lstrcpyA(session.destFolder, root.c_str());
    ASSERT_TRUE(FileExists(root + "user.txt"));
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(FileExists(root + "one.exe"));
    EXPECT_FALSE(FileExists(root + "two.dll"));
    EXPECT_FALSE(FileExists(root + "INSTALL.INF"));
    EXPECT_FALSE(FileExists(root + "INSTALL.EXE"));
    EXPECT_TRUE(FileExists(scratch + "Root\\user.txt"));
    EXPECT_TRUE(FileExists(scratch + "Root\\old.gid"));
    EXPECT_TRUE(FileExists(scratch + "Root\\Other\\x.txt"));
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(InstalledShortcutsGone());
}

TEST_F(UninstallEngine, UninstallEntryOfAnotherFolderStays)
{
    CreateKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY "UninstUnitOther");
    Install({"one.exe"});
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_FALSE(EntryExists());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY "UninstUnitOther"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY "UninstUnitOther");
}

// A linked folder inside the installation leads outside it: what lies there is neither
// offered nor deleted (help indexes included). The bench makes the link as a host
// symbolic link, which the prefix shows as a folder with the reparse-point attribute.
TEST_F(UninstallEngine, LinkedFolderIsNotFollowed)
{
    Install({"one.exe"});
    WriteFile("Outside\\data.txt", "theirs");
    WriteFile("Outside\\help.gid", "i");
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn unixName = (UnixNameFn)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                            "wine_get_unix_file_name");
    if (!unixName) GTEST_SKIP() << "no host file names in this system";
    std::string outside = scratch + "Outside", link = dest + "Linked";
    std::wstring wideOutside(outside.begin(), outside.end()), wideLink(link.begin(), link.end());
    char* target = unixName(wideOutside.c_str());
    char* place = unixName(wideLink.c_str());
    ASSERT_TRUE(target && place);
    std::string hostTarget = target, hostLink = place;
    HeapFree(GetProcessHeap(), 0, target);
    HeapFree(GetProcessHeap(), 0, place);
    ASSERT_TRUE(StartHostCommand("Z:\\bin\\ln -s " + hostTarget + " " + hostLink));
    ASSERT_TRUE(WaitForPath(link + "\\data.txt", true));
    DWORD attributes = GetFileAttributesA(link.c_str());
    ASSERT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              (DWORD)(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

    int result = UninstallAll();
    for (const ShownMessage& shown : shownMessages)
        EXPECT_EQ(shown.text.find(link + "\\"), std::string::npos) << shown.text;
    EXPECT_EQ(ReadFileBytes(outside + "\\data.txt"), "theirs");
    EXPECT_TRUE(FileExists(outside + "\\help.gid"));
    EXPECT_FALSE(FileExists(dest + "one.exe"));
    if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // The link itself went (RemoveDirectoryA on a junction), and the folder with it.
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(FolderExists(Folder()));
    } else {
        // Wine removes no link to a folder that holds files (error 145): the folder stays
        // and is reported, and nothing in the link is asked about.
        EXPECT_EQ(result, 0);
        ASSERT_EQ(shownMessages.size(), 1u);
        EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
        StartHostCommand("Z:\\bin\\rm -f " + hostLink);
        EXPECT_TRUE(WaitForPath(link, false));
    }
    EXPECT_FALSE(EntryExists());
}

// The folder walked is the installation folder made full, in long form; a drive or share
// root and the system's folders are never walked, however they are spelt.
TEST(UninstallRoot, FoldersThatHoldMoreThanTheInstallation)
{
    char windows[MAX_PATH], system[MAX_PATH], current[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    GetCurrentDirectoryA(sizeof current, current);
    std::string win = windows, lower = win + "\\";
    CharLowerA(&lower[0]);
    const std::string refused[] = {
        "C:\\", "c:\\", "C:\\\\", "C:\\.\\", "C:\\Soft\\..\\", win + "\\..\\", win.substr(0, 2) + "\\",
        win + "\\", lower, win + "\\.\\", win + "\\\\", win + "\\system32\\..\\", std::string(system) + "\\",
        std::string(system) + "\\.\\", "\\\\server\\share\\", "\\\\server\\share\\Soft\\..\\",
        "\\\\server\\", "\\\\\\share\\", "\\\\server\\\\", "\\\\?\\C:\\Soft\\", "\\\\.\\C:\\Soft\\", "",
    };
    char full[kPathSize];
    for (const std::string& folder : refused)
        EXPECT_EQ(FolderToWalk(folder.c_str(), full), 0) << folder;
    // Relative spellings are made full against the current directory.
    for (const char* folder : {".\\", "..\\.\\"}) {
        SetCurrentDirectoryA(system);
        EXPECT_EQ(FolderToWalk(folder, full), 0) << folder << " in " << system;
        SetCurrentDirectoryA("C:\\");
        EXPECT_EQ(FolderToWalk(folder, full), 0) << folder << " in C:\\";
    }
    SetCurrentDirectoryA(windows);
    EXPECT_EQ(FolderToWalk("Fonts\\", full), 1);
    EXPECT_STREQ(full, (win + "\\Fonts\\").c_str());
    SetCurrentDirectoryA(current);

    const struct { std::string folder, full; } walked[] = {
        {win + "\\Fonts\\", win + "\\Fonts\\"},
        {"C:\\Soft\\", "C:\\Soft\\"},
        {"C:\\Soft\\.\\Sub\\..\\", "C:\\Soft\\"},
        {"C:\\\\Soft\\", "C:\\Soft\\"},
        {"C:\\Soft", "C:\\Soft\\"},
        {"\\\\server\\share\\Soft\\", "\\\\server\\share\\Soft\\"},
    };
    for (const auto& w : walked) {
        EXPECT_EQ(FolderToWalk(w.folder.c_str(), full), 1) << w.folder;
        EXPECT_STREQ(full, w.full.c_str()) << w.folder;
    }
}

// An installation folder named by its short form is walked by its long name.
TEST_F(UninstallEngine, FolderIsWalkedByItsLongName)
{
    Install({"one.exe"}, "", "Long Folder Name\\");
    char shortForm[MAX_PATH];
    DWORD length = GetShortPathNameA(dest.c_str(), shortForm, sizeof shortForm);
    ASSERT_TRUE(length > 0 && length < sizeof shortForm);
    ASSERT_NE(std::string(shortForm), dest);
    lstrcpyA(session.destFolder, shortForm);
    WriteFile("Long Folder Name\\mine.txt", "mine");
    QueueAnswers({IDNO});
    EXPECT_EQ(UninstallAll(), 0);
    ASSERT_EQ(shownMessages.size(), 2u);
    if (!session.japanese) {
        EXPECT_EQ(shownMessages[0].text, "Do you uninstall " + dest + "mine.txt?");
        EXPECT_EQ(shownMessages[1].text, "Failed in deleting the folder, " + Folder() + ".");
    }
    EXPECT_NE(shownMessages[0].text.find(dest + "mine.txt"), std::string::npos);
    EXPECT_FALSE(FileExists(dest + "one.exe"));
}

// The uninstall command ("x" and the installed program's path) may spell a drive's root
// in many ways; none of them is walked, and only the installed files go.
TEST_F(UninstallEngine, DriveRootIsNeverWalkedHoweverItIsSpelt)
{
    CreateDirectoryA((scratch + "Root").c_str(), NULL);
    ScratchDrive drive(scratch + "Root");
    if (!drive.letter()) GTEST_SKIP() << "no drive letter could be mapped in this prefix";
    const std::string root = std::string(1, drive.letter()) + ":\\";
    CreateDirectoryA((root + "Windows").c_str(), NULL);
    for (const std::string& spelling :
         {root + "\\", root + ".\\", root + "Windows\\..\\", std::string(".\\")}) {
        shownMessages.clear();
        Install({"one.exe"}, "", "Root\\");
        WriteFile("Root\\user.txt", "mine");
        WriteFile("Root\\old.gid", "i");
        WriteFile("Root\\Other\\x.txt", "mine");
        SetCurrentDirectoryA(root.c_str());
        lstrcpyA(session.destFolder, spelling.c_str());
        QueueAnswers({IDCANCEL});  // were the root walked anyway, its first question ends it
        EXPECT_EQ(UninstallAll(), 1) << spelling;
        EXPECT_TRUE(shownMessages.empty()) << spelling << ": " << shownMessages[0].text;
        EXPECT_FALSE(FileExists(root + "one.exe")) << spelling;
        EXPECT_FALSE(FileExists(root + "INSTALL.EXE")) << spelling;
        EXPECT_TRUE(FileExists(root + "user.txt")) << spelling;
        EXPECT_TRUE(FileExists(root + "old.gid")) << spelling;
        EXPECT_TRUE(FileExists(root + "Other\\x.txt")) << spelling;
        EXPECT_TRUE(FolderExists(root + "Windows")) << spelling;
        EXPECT_FALSE(EntryExists());
        SetCurrentDirectoryA("C:\\");
    }
}

// An installation into the Windows directory removes its own files only: no walk (so no
// question about the system's files), no removal of the folder.
TEST_F(UninstallEngine, WindowsDirectoryKeepsWhatTheInstallationDidNotMake)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string folder = std::string(windows) + "\\";
    const std::string mine = folder + "uninst_unit_one.txt", keep = folder + "uninst_unit_keep.gid";
    Install({"uninst_unit_one.txt"});
    lstrcpyA(session.destFolder, folder.c_str());
    lstrcpyA(session.infName, "UNINST_UNIT.INF");
    lstrcpyA(session.installerName, "UNINST_UNIT.EXE");
    HANDLE h = CreateFileA(mine.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(h);
    h = CreateFileA(keep.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(h);
    // Were the folder walked anyway, the first question ends it.
    QueueAnswers({IDCANCEL, IDCANCEL, IDCANCEL, IDCANCEL});
    EXPECT_EQ(UninstallAll(), 1);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_FALSE(FileExists(mine));
    EXPECT_TRUE(FileExists(keep));  // a help index outside the installation stays
    EXPECT_TRUE(FolderExists(windows));
    EXPECT_FALSE(EntryExists());
    DeleteFileA(keep.c_str());
}
