// Deletion at the next start: the delayed move, and the [Rename] section of WININIT.INI.
#include "uninstall_fixture.h"

#define SESSION_MANAGER "System\\CurrentControlSet\\Control\\Session Manager"

static std::string WininitPath()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\WININIT.INI";
}

static std::string ShortPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return std::string(buffer, length);
}

static BOOL WINAPI RefuseMove(LPCSTR, LPCSTR, DWORD) { return FALSE; }

static void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(h);
}

// The files the replacement makes beside WININIT.INI (names the system gives "ini*.tmp").
static std::vector<std::string> FilesBeside(const std::string& ini)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((ini.substr(0, ini.rfind('\\') + 1) + "ini*.tmp").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

// Keeps the prefix's WININIT.INI (or its absence) and puts it back after the test.
class DeferredDeletion : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        ini = WininitPath();
        hadIni = FileExists(ini);
        if (hadIni) savedIni = ReadFileBytes(ini);
        DeleteFileA(ini.c_str());
        program = WriteFile("Program Copy.exe", "MZ");
        entry = "NUL=" + ShortPath(program) + "\r\n";
        host.moveFileEx = RefuseMove;
        filesBefore = FilesBeside(ini);
    }
    void TearDown() override
    {
        EXPECT_EQ(FilesBeside(ini), filesBefore) << "files left beside WININIT.INI";
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        DeleteFileA(ini.c_str());
        if (hadIni) WriteBytes(ini, savedIni);
        SessionTest::TearDown();
    }
    // Writes WININIT.INI, schedules, and gives back what the file then holds.
    std::string Schedule(const std::string& before)
    {
        WriteBytes(ini, before);
        ScheduleDeleteAtRestart(program.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        return ReadFileBytes(ini);
    }
    std::string ini, savedIni, program, entry;
    std::vector<std::string> filesBefore;
    bool hadIni = false;
};

static bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

static size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
    return n;
}

TEST_F(DeferredDeletion, SectionIsAppendedWhenThereIsNone)
{
    EXPECT_EQ(Schedule("[boot]\r\nshell=x\r\n"), "[boot]\r\nshell=x\r\n[Rename]\r\n" + entry);
    EXPECT_NE(entry.find('~'), std::string::npos);  // the short form of "Program Copy.exe"
}

TEST_F(DeferredDeletion, EndMarkIsReplacedAndALastLineIsEnded)
{
    EXPECT_EQ(Schedule("[boot]\r\nshell=x\r\n\x1A"), "[boot]\r\nshell=x\r\n[Rename]\r\n" + entry);
    EXPECT_EQ(Schedule("[boot]\r\nshell=x"), "[boot]\r\nshell=x\r\n[Rename]\r\n" + entry);
    EXPECT_EQ(Schedule("[boot]\r\nshell=x\x1A"), "[boot]\r\nshell=x\r\n[Rename]\r\n" + entry);
    EXPECT_EQ(Schedule(""), "[Rename]\r\n" + entry);
}

TEST_F(DeferredDeletion, OldEntriesKeepTheirOrderAndValuesAndTheSectionMovesToTheEnd)
{
    std::string after = Schedule("[boot]\r\nshell=x\r\n"
                                 "[rename]\r\n"
                                 "NUL=C:\\A.TMP\r\n"
                                 "C:\\NEW.EXE=C:\\OLD.EXE\r\n"
                                 "NUL = C:\\B.TMP\r\n"
                                 "\r\n"
                                 "[other]\r\nk=v\r\n");
    EXPECT_TRUE(EndsWith(after, "[Rename]\r\nNUL=C:\\A.TMP\r\nC:\\NEW.EXE=C:\\OLD.EXE\r\n"
                                "NUL=C:\\B.TMP\r\n" + entry))
        << after;
    EXPECT_EQ(Count(after, "Rename]"), 1u);
    EXPECT_EQ(Count(after, "rename]"), 0u);
    EXPECT_LT(after.find("[boot]"), after.find("[other]"));
    EXPECT_LT(after.find("k=v"), after.find("[Rename]"));
    EXPECT_NE(after.find("shell=x"), std::string::npos);

    // A second scheduling keeps the first one's line ahead of its own.
    std::string again = Schedule(after);
    EXPECT_TRUE(EndsWith(again, "NUL=C:\\B.TMP\r\n" + entry + entry)) << again;
}

TEST_F(DeferredDeletion, TooLargeSectionOrLockedOrMissingFileIsLeftAlone)
{
    std::string big = "[boot]\r\nshell=x\r\n[Rename]\r\n";
    for (int i = 0; i < 400; i++) big += "NUL=C:\\TEMP\\" + std::string(60, 'a') + std::to_string(i) + ".TMP\r\n";
    ASSERT_GT(big.size(), 30000u);
    EXPECT_EQ(Schedule(big), big);

    // Just under the limit still works.
    std::string fits = "[Rename]\r\n";
    for (int i = 0; fits.size() < 29000; i++) fits += "NUL=C:\\TEMP\\" + std::string(60, 'b') + std::to_string(i) + ".TMP\r\n";
    EXPECT_EQ(Schedule(fits), fits + entry);

    std::string small = "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n";
    WriteBytes(ini, small);
    {
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ScheduleDeleteAtRestart(program.c_str());
        CloseHandle(held);
    }
    WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
    EXPECT_EQ(ReadFileBytes(ini), small);
}

// On 9x WININIT.INI is processed and renamed at every start, so it is normally missing:
// it is made with the new section, or the copy would stay in the system directory for ever.
TEST_F(DeferredDeletion, MissingFileIsMadeWithTheSection)
{
    DeleteFileA(ini.c_str());
    ScheduleDeleteAtRestart(program.c_str());
    EXPECT_EQ(ReadFileBytes(ini), "[Rename]\r\n" + entry);
    // The file made there takes the next scheduling as any other.
    EXPECT_EQ(Schedule(ReadFileBytes(ini)), "[Rename]\r\n" + entry + entry);
}

// An end mark 0x1A before other text: some systems' profile functions may stop there and
// others read on, so the entries behind it could not be kept. The file stays as it is.
TEST_F(DeferredDeletion, EndMarkInsideTheFileLeavesItUnchanged)
{
    const std::string files[] = {
        "[boot]\r\nshell=x\r\n\x1A[Rename]\r\nNUL=C:\\OLD.TMP\r\n",
        "[Rename]\r\nNUL=C:\\A.TMP\r\n\x1A\r\nNUL=C:\\B.TMP\r\n",
        "[Rename]\r\nNUL=C:\\A.TMP\r\n\x1A\x1A",
    };
    for (const std::string& before : files)
        EXPECT_EQ(Schedule(before), before) << before;
}

// Another program's [Rename] entry written through the profile functions may reach the
// file only when the profile cache is flushed (the 9x cache is shared and written late).
// The stand-in writes it into the file at the first flush, as that cache would.
static std::string lateIni;
static int flushes;
static BOOL WINAPI LateCache(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    if (!section && !key && !value && flushes++ == 0) {
        std::string text = ReadFileBytes(lateIni);
        size_t at = text.find("[Rename]\r\n");
        if (at != std::string::npos) text.insert(at + 10, "NUL=C:\\LATE.TMP\r\n");
        HANDLE h = CreateFileA(lateIni.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        ::WriteFile(h, text.data(), (DWORD)text.size(), &written, NULL);
        CloseHandle(h);
    }
    return WritePrivateProfileStringA(section, key, value, file);
}

TEST_F(DeferredDeletion, EntriesStillInTheProfileCacheAreKept)
{
    lateIni = ini;
    flushes = 0;
    host.writeProfileString = LateCache;
    std::string after = Schedule("[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n");
    EXPECT_TRUE(EndsWith(after, "[Rename]\r\nNUL=C:\\LATE.TMP\r\nNUL=C:\\A.TMP\r\n" + entry))
        << after;
    EXPECT_GE(flushes, 1);
}

// A disk that fails halfway through the new text: half of it arrives, then the write
// fails. What WININIT.INI holds at that moment is kept: were the new text written into the
// file itself, a crash there would leave a mix of old and new.
static std::string watchedIni, iniWhileWriting;
static BOOL WINAPI FailHalfway(HANDLE file, LPCVOID bytes, DWORD length, LPDWORD written,
                               LPOVERLAPPED)
{
    DWORD half = 0;
    ::WriteFile(file, bytes, length / 2, &half, NULL);
    if (iniWhileWriting.empty())
        iniWhileWriting = FileExists(watchedIni) ? ReadFileBytes(watchedIni) : "<missing>";
    *written = half;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(DeferredDeletion, WriteThatFailsHalfwayLeavesTheOldFile)
{
    watchedIni = ini;
    host.writeFile = FailHalfway;
    // [Rename] in the middle: nearly all of the file changes.
    std::string before = "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n[386Enh]\r\n";
    for (int i = 0; i < 100; i++) before += "key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    iniWhileWriting = "";
    EXPECT_EQ(Schedule(before), before);
    EXPECT_EQ(iniWhileWriting, before);

    // A missing file is not made with half a text.
    DeleteFileA(ini.c_str());
    iniWhileWriting = "";
    ScheduleDeleteAtRestart(program.c_str());
    EXPECT_EQ(iniWhileWriting, "<missing>");
    EXPECT_FALSE(FileExists(ini));
}

// Another setup program adds its own [Rename] entry after the file was read, while the
// new text is being written. Its entry, and the sections after [Rename], are kept; when
// it does so at every attempt, the file stays as that program left it.
static int otherWrites;
static BOOL WINAPI AnotherProgramWritesFirst(HANDLE file, LPCVOID bytes, DWORD length,
                                             LPDWORD written, LPOVERLAPPED overlapped)
{
    if (otherWrites > 0) {
        std::string text = ReadFileBytes(watchedIni);
        std::string line = "C:\\OTHER" + std::to_string(otherWrites--) + ".EXE=C:\\OTHER.NEW\r\n";
        text.insert(text.find("[Rename]\r\n") + 10, line);
        HANDLE h = CreateFileA(watchedIni.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               NULL, OPEN_EXISTING, 0, NULL);
        DWORD count = 0;
        EXPECT_TRUE(h != INVALID_HANDLE_VALUE && ::WriteFile(h, text.data(), (DWORD)text.size(), &count, NULL) &&
                    count == text.size() && SetEndOfFile(h))
            << "the other program could not write";
        CloseHandle(h);
    }
    return ::WriteFile(file, bytes, length, written, overlapped);
}

TEST_F(DeferredDeletion, EntryOfAnotherProgramWrittenMeanwhileIsKept)
{
    watchedIni = ini;
    host.writeFile = AnotherProgramWritesFirst;
    const std::string before = "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n[386Enh]\r\nk=v\r\n";
    otherWrites = 1;
    std::string after = Schedule(before);
    EXPECT_EQ(after, "[boot]\r\nshell=x\r\n[386Enh]\r\nk=v\r\n[Rename]\r\n"
                     "C:\\OTHER1.EXE=C:\\OTHER.NEW\r\nNUL=C:\\A.TMP\r\n" + entry);

    otherWrites = 2;
    after = Schedule(before);
    EXPECT_EQ(after, "[boot]\r\nshell=x\r\n[Rename]\r\nC:\\OTHER1.EXE=C:\\OTHER.NEW\r\n"
                     "C:\\OTHER2.EXE=C:\\OTHER.NEW\r\nNUL=C:\\A.TMP\r\n[386Enh]\r\nk=v\r\n");
}

// The pending moves of the prefix, as a multi-string value.
static std::string PendingMoves()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    std::string data(65536, '\0');
    DWORD size = (DWORD)data.size();
    if (RegQueryValueExA(key, "PendingFileRenameOperations", NULL, NULL, (BYTE*)&data[0], &size) !=
        ERROR_SUCCESS)
        size = 0;
    RegCloseKey(key);
    data.resize(size);
    return data;
}

static void SetPendingMoves(const std::string& data)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    if (data.empty())
        RegDeleteValueA(key, "PendingFileRenameOperations");
    else
        RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ, (const BYTE*)data.data(),
                       (DWORD)data.size());
    RegCloseKey(key);
}

TEST_F(DeferredDeletion, DelayedMoveLeavesWininitUntouched)
{
    ResetHostHooks();
    std::string before = "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\A.TMP\r\n";
    WriteBytes(ini, before);
    std::string saved = PendingMoves();
    ScheduleDeleteAtRestart(program.c_str());
    std::string pending = PendingMoves();
    SetPendingMoves(saved);
    EXPECT_EQ(ReadFileBytes(ini), before);
    // Recorded as the source path followed by an empty target.
    std::string record = "\\??\\" + program;
    record += '\0';
    record += '\0';
    EXPECT_NE(pending.find(record), std::string::npos);
    EXPECT_TRUE(FileExists(program));
}
