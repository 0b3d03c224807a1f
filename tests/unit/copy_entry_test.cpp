// Copying one entry: new files, sub-folders, silent and confirmed overwrites, failures.
#include "copy_fixture.h"
#include "common/texts.h"
#include "common/host.h"

class CopyEntryTest : public CopyFixture {};

TEST_F(CopyEntryTest, NewFileArrivesWithNormalAttributesAndItsSubFolders)
{
    std::string readOnly = WriteFile("src\\app.exe", "program");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(Resolve("app.exe"), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "app.exe"), "program");
    EXPECT_FALSE(GetFileAttributesA((dest + "app.exe").c_str()) & FILE_ATTRIBUTE_READONLY);

    WriteFile("src\\x.dat", "deep");
    ASSERT_EQ(Resolve("x.dat,data\\sub\\x.dat"), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_TRUE(FolderExists(dest + "data"));
    EXPECT_TRUE(FolderExists(dest + "data\\sub"));
    EXPECT_EQ(ReadFileBytes(dest + "data\\sub\\x.dat"), "deep");
    EXPECT_STREQ(session.entryTarget, (dest + "data\\sub\\x.dat").c_str());  // restored
    // The source name is relative to the current directory, the source folder.
    EXPECT_TRUE(FileExists(source + "x.dat"));
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(CopyEntryTest, InstallerAndSetupFileAreReplacedWithoutAsking)
{
    // The existing copies are newer than the ones installed: still replaced.
    WritePair("INSTALL.EXE", "new installer", "old installer");
    WritePair("install.inf", "[Install]\r\n", "old inf");
    WritePair("myinstall.exe", "new helper", "old helper");
    SetLocalTime(source + "INSTALL.EXE", 2001, 3, 1, 0, 0, 0);
    SetLocalTime(dest + "INSTALL.EXE", 2001, 3, 9, 0, 0, 0);
    SetLocalTime(dest + "install.inf", 2030, 1, 1, 0, 0, 0);
    SetLocalTime(dest + "myinstall.exe", 2030, 1, 1, 0, 0, 0);
    SetFileAttributesA((source + "INSTALL.EXE").c_str(), FILE_ATTRIBUTE_READONLY);

    lstrcpyA(session.infPath, (source + "install.inf").c_str());
    ASSERT_EQ(ResolveEntry(-1), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "INSTALL.EXE"), "new installer");
    EXPECT_FALSE(GetFileAttributesA((dest + "INSTALL.EXE").c_str()) & FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(ResolveEntry(0), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "install.inf"), "[Install]\r\n");
    // A path that merely contains one of the forms, as in ...\myinstall.exe.
    ASSERT_EQ(Resolve("myinstall.exe"), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "myinstall.exe"), "new helper");
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(CopyEntryTest, LaterDatedSourceReplacesSilentlyAndTimeOfDayDoesNotCount)
{
    WritePair("later.txt", "new", "old");
    SetLocalTime(source + "later.txt", 2001, 3, 10, 0, 0, 1);
    SetLocalTime(dest + "later.txt", 2001, 3, 9, 23, 59, 59);
    ASSERT_EQ(Resolve("later.txt"), 1);
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "later.txt"), "new");
    EXPECT_TRUE(shownMessages.empty());

    // Same date, later time of day: not later, so the user is asked.
    WritePair("sameday.txt", "new", "old");
    SetLocalTime(source + "sameday.txt", 2001, 3, 9, 23, 0, 0);
    SetLocalTime(dest + "sameday.txt", 2001, 3, 9, 1, 0, 0);
    ASSERT_EQ(Resolve("sameday.txt"), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "sameday.txt"), "old");
    EXPECT_EQ(shownMessages.size(), 1u);
}

TEST_F(CopyEntryTest, SameDateAsksWithTheExactTextAndNoKeepsYesReplaces)
{
    WritePair("Data.txt", "new", "old");
    SetLocalTime(source + "Data.txt", 2001, 3, 9, 7, 30, 5);   // older time of day
    SetLocalTime(dest + "Data.txt", 2001, 3, 9, 18, 4, 0);
    SetFileAttributesA((source + "Data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(Resolve("Data.txt"), 1);
    // Japanese dates run year, month, day; English ones month, day, year.
    std::string date = session.japanese ? "2001/03/09" : "03/09/2001";
    std::string expected = Upper(dest) + "DATA.TXT" + Text(T_ALREADY_EXISTS) + "DATA.TXT  " +
                           date + "  18:04:00" + Text(T_COPY_FROM) + "DATA.TXT  " + date +
                           "  07:30:05";

    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, expected);
    EXPECT_EQ(shownMessages[0].caption, Text(T_CONFIRM_CAPTION));
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_EQ(ReadFileBytes(dest + "Data.txt"), "old");

    QueueAnswers({IDYES});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 2u);
    EXPECT_EQ(shownMessages[1].text, expected);
    EXPECT_EQ(ReadFileBytes(dest + "Data.txt"), "new");
    EXPECT_FALSE(GetFileAttributesA((dest + "Data.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(CopyEntryTest, OlderSourceAndMixedCaseInstallerGoThroughTheQuestion)
{
    WritePair("older.txt", "new", "old");
    SetLocalTime(source + "older.txt", 2000, 12, 31, 0, 0, 0);
    SetLocalTime(dest + "older.txt", 2001, 1, 1, 0, 0, 0);
    ASSERT_EQ(Resolve("older.txt"), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "older.txt"), "old");

    // Install.exe matches none of the four forms: the date rule applies.
    WritePair("Install.exe", "new", "old");
    SetLocalTime(source + "Install.exe", 2001, 3, 9, 0, 0, 0);
    SetLocalTime(dest + "Install.exe", 2001, 3, 9, 0, 0, 0);
    ASSERT_EQ(Resolve("Install.exe"), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    EXPECT_EQ(ReadFileBytes(dest + "Install.exe"), "old");
    ASSERT_EQ(shownMessages.size(), 2u);
    EXPECT_EQ(shownMessages[1].style, (UINT)(MB_ICONQUESTION | MB_YESNO));
}

TEST_F(CopyEntryTest, MissingSourceIsNamedAsWritten)
{
    ASSERT_EQ(Resolve("nothere.txt,placed.txt"), 1);
    EXPECT_EQ(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_COPY_FAILED, "nothere.txt"));
    EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_FALSE(FileExists(dest + "placed.txt"));
}

// The platform's answers on which the in-use report rests: a destination held open
// without sharing gives "file exists" to the first copy and a sharing violation only
// to the overwriting one.
TEST_F(CopyEntryTest, LockedDestinationErrorCodes)
{
    WritePair("held.txt", "new", "old");
    LockedFile held(dest + "held.txt");
    ASSERT_TRUE(held.Held());
    std::string from = source + "held.txt", to = dest + "held.txt";
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
    held.Release();
    // A folder in the place of the file: "exists" first, then an error other than 32.
    WriteFile("src\\folder.txt", "new");
    ASSERT_TRUE(CreateDirectoryA((dest + "folder.txt").c_str(), NULL));
    from = source + "folder.txt";
    to = dest + "folder.txt";
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), FALSE));
    DWORD error = GetLastError();
    EXPECT_TRUE(error != 0 && error != ERROR_SHARING_VIOLATION) << error;
}

TEST_F(CopyEntryTest, LockedDestinationOnEveryOverwritePathIsReported)
{
    WritePair("INSTALL.EXE", "new", "old");
    WritePair("later.txt", "new", "old");
    WritePair("same.txt", "new", "old");
    SetLocalTime(source + "later.txt", 2001, 3, 10, 0, 0, 0);
    SetLocalTime(dest + "later.txt", 2001, 3, 9, 0, 0, 0);
    SetLocalTime(source + "same.txt", 2001, 3, 9, 0, 0, 0);
    SetLocalTime(dest + "same.txt", 2001, 3, 9, 0, 0, 0);
    {
        LockedFile a(dest + "INSTALL.EXE"), b(dest + "later.txt"), c(dest + "same.txt");
        ASSERT_TRUE(a.Held() && b.Held() && c.Held());
        ASSERT_EQ(ResolveEntry(-1), 1);
        EXPECT_EQ(CopyEntry(), 0);
        ASSERT_EQ(Resolve("later.txt"), 1);
        EXPECT_EQ(CopyEntry(), 0);
        ASSERT_EQ(Resolve("same.txt"), 1);
        QueueAnswers({IDYES});
        EXPECT_EQ(CopyEntry(), 0);
    }
    ASSERT_EQ(shownMessages.size(), 4u);  // two reports, the question, the third report
    EXPECT_EQ(shownMessages[0].text, TextWith(T_IN_USE, dest + "INSTALL.EXE"));
    EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_EQ(shownMessages[1].text, TextWith(T_IN_USE, dest + "later.txt"));
    EXPECT_EQ(shownMessages[2].caption, Text(T_CONFIRM_CAPTION));
    EXPECT_EQ(shownMessages[3].text, TextWith(T_IN_USE, dest + "same.txt"));
    EXPECT_EQ(ReadFileBytes(dest + "INSTALL.EXE"), "old");
    EXPECT_EQ(ReadFileBytes(dest + "later.txt"), "old");
    EXPECT_EQ(ReadFileBytes(dest + "same.txt"), "old");
}

TEST_F(CopyEntryTest, OtherOverwriteFailuresAndLockedSourcesAreReported)
{
    // A folder in the place of the installer cannot be replaced: reported, not passed over.
    WriteFile("src\\INSTALL.EXE", "new");
    ASSERT_TRUE(CreateDirectoryA((dest + "INSTALL.EXE").c_str(), NULL));
    ASSERT_EQ(ResolveEntry(-1), 1);
    EXPECT_EQ(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_COPY_FAILED, "INSTALL.EXE"));
    EXPECT_TRUE(FolderExists(dest + "INSTALL.EXE"));

    // A source held open by another program fails the first copy with a sharing violation.
    WriteFile("src\\busy.txt", "busy");
    LockedFile held(source + "busy.txt");
    ASSERT_TRUE(held.Held());
    ASSERT_EQ(Resolve("busy.txt"), 1);
    EXPECT_EQ(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 2u);
    EXPECT_EQ(shownMessages[1].text, TextWith(T_IN_USE, dest + "busy.txt"));
    EXPECT_FALSE(FileExists(dest + "busy.txt"));
}

TEST_F(CopyEntryTest, SubFolderBlockedByAFileStopsTheCopy)
{
    WriteFile("dst\\data", "a file, not a folder");
    WriteFile("src\\x.dat", "x");
    ASSERT_EQ(Resolve("x.dat,data\\sub\\x.dat"), 1);
    EXPECT_EQ(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FOLDER_IS_FILE, dest + "data"));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_FALSE(FolderExists(dest + "data\\sub"));
    EXPECT_EQ(ReadFileBytes(dest + "data"), "a file, not a folder");
}

TEST_F(CopyEntryTest, TooLongTargetIsRefusedUntouched)
{
    std::string longFolder = dest + std::string(240 - dest.size(), 'f') + "\\";
    lstrcpyA(session.destFolder, longFolder.c_str());
    WriteFile("src\\twenty-characters.txt", "x");
    EXPECT_EQ(Resolve("twenty-characters.txt,sub\\twenty-characters.txt"), 0);
    ASSERT_STREQ(session.entryTarget, "");
    EXPECT_EQ(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_TARGET_TOO_LONG, "twenty-characters.txt"));
    EXPECT_EQ(shownMessages[0].caption, Text(T_ERROR_CAPTION));
    EXPECT_EQ(shownMessages[0].owner, owner);
    EXPECT_FALSE(FolderExists(longFolder.substr(0, longFolder.size() - 1)));
}

TEST_F(CopyEntryTest, ConfirmationForTheLongestPathIsWhole)
{
    // A destination folder as long as the system allows and a name that fills the path.
    std::string folder = dest + std::string(247 - dest.size(), 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL)) << GetLastError();
    std::string name(259 - folder.size(), 'n');
    lstrcpyA(session.destFolder, folder.c_str());
    WriteFile("src\\" + name, "new");
    std::string existing = folder + name;
    ASSERT_EQ(existing.size(), 259u);
    HANDLE h = CreateFileA(existing.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    SetLocalTime(source + name, 2001, 3, 9, 0, 0, 0);
    SetLocalTime(existing, 2001, 3, 9, 0, 0, 0);
    ASSERT_EQ(Resolve(name), 1);
    QueueAnswers({IDNO});
    EXPECT_EQ(CopyEntry(), 1);
    ASSERT_EQ(shownMessages.size(), 1u);
    std::string stamp = Upper(name) + (session.japanese ? "  2001/03/09" : "  03/09/2001") +
                        "  00:00:00";
    EXPECT_EQ(shownMessages[0].text,
              Upper(existing) + Text(T_ALREADY_EXISTS) + stamp + Text(T_COPY_FROM) + stamp);
}

// Installing from the installed folder onto itself: every entry meets itself as its
// destination and is left as it is, without a question or a message, and counts as done.
// The same file is recognised however its two names are spelt, also while the running
// program holds it open; a different file of the same name still goes through the rules.
TEST_F(CopyEntryTest, FileThatIsItsOwnDestinationIsLeftAlone)
{
    WriteFile("src\\INSTALL.EXE", "installer");
    WriteFile("src\\install.inf", "[Install]\r\n1=app.txt\r\n2=sub\\data.txt\r\n");
    WriteFile("src\\app.txt", "app");
    WriteFile("src\\sub\\data.txt", "data");
    SetLocalTime(source + "app.txt", 2001, 3, 9, 12, 0, 0);
    std::string upper = Upper(source);
    std::string roundabout = source + "sub\\..\\";
    for (const std::string& folder : {source, upper, roundabout}) {
        lstrcpyA(session.destFolder, folder.c_str());
        lstrcpyA(session.infPath, (source + "install.inf").c_str());
        LockedFile running(source + "INSTALL.EXE");
        ASSERT_TRUE(running.Held());
        for (int n = -1; n <= 2; n++) {
            ASSERT_EQ(ResolveEntry(n), 1) << n;
            EXPECT_NE(CopyEntry(), 0) << folder << " entry " << n;
        }
        EXPECT_TRUE(shownMessages.empty()) << folder << ": " << shownMessages[0].text;
        shownMessages.clear();
    }
    EXPECT_EQ(ReadFileBytes(source + "INSTALL.EXE"), "installer");
    EXPECT_EQ(ReadFileBytes(source + "app.txt"), "app");
    EXPECT_EQ(ReadFileBytes(source + "sub\\data.txt"), "data");

    // The same name in another folder is another file: same date, so the question comes.
    WriteFile("dst\\app.txt", "app");
    SetLocalTime(dest + "app.txt", 2001, 3, 9, 12, 0, 0);
    lstrcpyA(session.destFolder, dest.c_str());
    ASSERT_EQ(ResolveEntry(1), 1);
    QueueAnswers({IDNO});
    EXPECT_NE(CopyEntry(), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].caption, Text(T_CONFIRM_CAPTION));
}

// File systems whose identity cannot be trusted alone, given through the host table.
// Some (9x on FAT, some network redirectors) hand out an index per open handle: here each
// handle's own value, which the system gives again once a handle is closed.
static BOOL WINAPI IndexPerOpen(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info)
{
    if (!GetFileInformationByHandle(file, info)) return FALSE;
    info->nFileIndexHigh = 0;
    info->nFileIndexLow = (DWORD)(ULONG_PTR)file;
    return TRUE;
}

// On others the index repeats (ReFS, a volume and its clone): one identity for every file.
static BOOL WINAPI OneIdentity(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info)
{
    if (!GetFileInformationByHandle(file, info)) return FALSE;
    info->dwVolumeSerialNumber = 0x1234;
    info->nFileIndexHigh = 0;
    info->nFileIndexLow = 42;
    return TRUE;
}

// Another file met as the destination is never taken for the source: the rules apply
// (here the question, as the dates are equal). The same file is still left alone where
// its identity can be told at all.
TEST_F(CopyEntryTest, AnotherFileWithTheSameIdentityIsNoSameFile)
{
    const struct {
        BOOL(WINAPI* query)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);
        const char* sourceBytes;  // the destination holds "old"
    } cases[] = {
        {IndexPerOpen, "new"},  // same size and time: only the open handles tell them apart
        {OneIdentity, "newer"},
    };
    for (const auto& c : cases) {
        host.getFileInformationByHandle = c.query;
        shownMessages.clear();
        WritePair("app.txt", c.sourceBytes, "old");
        SetLocalTime(source + "app.txt", 2001, 3, 9, 12, 0, 0);
        SetLocalTime(dest + "app.txt", 2001, 3, 9, 12, 0, 0);
        ASSERT_EQ(Resolve("app.txt"), 1);
        QueueAnswers({IDYES});
        EXPECT_NE(CopyEntry(), 0);
        ASSERT_EQ(shownMessages.size(), 1u) << c.sourceBytes;
        EXPECT_EQ(shownMessages[0].caption, Text(T_CONFIRM_CAPTION));
        EXPECT_EQ(ReadFileBytes(dest + "app.txt"), c.sourceBytes);
    }

    // The file as its own destination: one identity for all, but size and time agree.
    shownMessages.clear();
    lstrcpyA(session.destFolder, source.c_str());
    ASSERT_EQ(ResolveEntry(1), 1);
    EXPECT_NE(CopyEntry(), 0);
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_EQ(ReadFileBytes(source + "app.txt"), "newer");
}
