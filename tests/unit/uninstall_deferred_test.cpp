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
    }
    void TearDown() override
    {
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

// A seek that fails (here on a pipe, which cannot seek) writes nothing: the bytes would
// otherwise land on the file's first ones.
TEST_F(DeferredDeletion, FailedSeekWritesNothing)
{
    HANDLE reader, writer;
    ASSERT_TRUE(CreatePipe(&reader, &writer, NULL, 0));
    const std::string text = "[boot]\r\n[Rename]\r\nNUL=C:\\X.TMP\r\n";
    EXPECT_EQ(WriteWininitFrom((HFILE)(INT_PTR)writer, text.data(), 8, (unsigned)text.size()), 0);
    DWORD available = 1;
    EXPECT_TRUE(PeekNamedPipe(reader, NULL, 0, NULL, &available, NULL));
    EXPECT_EQ(available, 0u);
    CloseHandle(reader);
    CloseHandle(writer);

    // On a file the same call writes from the offset on and ends the file behind the bytes.
    std::string path = WriteFile("seek.ini", "[boot]\r\nold=1\r\nand a longer tail\r\n");
    OFSTRUCT info;
    HFILE file = OpenFile(path.c_str(), &info, OF_READWRITE);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(WriteWininitFrom(file, text.data(), 8, (unsigned)text.size()), 1);
    _lclose(file);
    EXPECT_EQ(ReadFileBytes(path), text);
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
