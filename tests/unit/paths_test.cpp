// Trailing backslashes, folder creation and the free-space figure of the destination drive.
#include "support.h"
#include "common/host.h"
#include "common/session.h"
#include "files/folders.h"
#include "wizard/destination.h"
#include "core/dbcs.h"
#include "core/destination.h"
#include <algorithm>
#include <vector>

TEST(Paths, AppendBackslashNormalisesAndRefusesWhatDoesNotFit)
{
    char path[8] = "";
    EXPECT_EQ(AppendBackslash(path, sizeof path), 1);
    EXPECT_STREQ(path, "\\");
    char soft[16] = "C:\\Soft";
    EXPECT_EQ(AppendBackslash(soft, sizeof soft), 1);
    EXPECT_STREQ(soft, "C:\\Soft\\");
    EXPECT_EQ(AppendBackslash(soft, sizeof soft), 1);
    EXPECT_STREQ(soft, "C:\\Soft\\");
    char full[8] = "C:\\abcd";  // 7 characters: no room for an eighth and the terminator
    EXPECT_EQ(AppendBackslash(full, sizeof full), 0);
    EXPECT_STREQ(full, "C:\\abcd");
}

class FolderCreation : public SessionTest {};

TEST_F(FolderCreation, CreatesMissingLevelsOnly)
{
    CreateDirectoryA((scratch + "Soft").c_str(), NULL);
    std::string target = scratch + "Soft\\Tools\\Deep\\";
    char path[kPathSize];
    lstrcpyA(path, target.c_str());
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_STREQ(path, target.c_str());  // handed back unchanged
    EXPECT_TRUE(FolderExists(scratch + "Soft\\Tools\\Deep"));
    EXPECT_TRUE(shownMessages.empty());
    char root[] = "Q:\\";
    EXPECT_EQ(CreateFolderLevel(root), 1);  // a drive root is never touched, even a missing one
}

TEST_F(FolderCreation, FileInTheWayStopsWithItsName)
{
    WriteFile("Soft", "not a folder");
    std::string target = scratch + "Soft\\Tools\\";
    char path[kPathSize];
    lstrcpyA(path, target.c_str());
    EXPECT_EQ(CreateFolderPath(path), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    std::string name = scratch + "Soft";
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FOLDER_IS_FILE, name));
    EXPECT_EQ(shownMessages[0].style, (UINT)(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(FolderExists(scratch + "Soft\\Tools"));
}

TEST_F(FolderCreation, FailedCreationIsReported)
{
    char path[] = "Q:\\missing drive\\";
    EXPECT_EQ(CreateFolderPath(path), 0);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0].text, TextWith(T_FOLDER_NOT_CREATED, "Q:\\missing drive"));
}

// Every name FolderEntries hands out for folder, sorted; "-" when it refuses the folder.
static std::string ListedNames(const std::string& folder)
{
    FolderEntries entries(folder.c_str());
    if (!entries.Searchable()) return "-";
    std::vector<std::string> names;
    while (const WIN32_FIND_DATAA* data = entries.Next()) names.push_back(data->cFileName);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += name + ";";
    return joined;
}

TEST_F(FolderCreation, FolderEntriesListOneFolderWithoutDots)
{
    WriteFile("List\\a.txt", "a");
    WriteFile("List\\.hidden", "b");
    WriteFile("List\\Sub\\deep.txt", "c");
    CreateDirectoryA((scratch + "Empty").c_str(), NULL);
    EXPECT_EQ(ListedNames(scratch + "List\\"), ".hidden;Sub;a.txt;");
    EXPECT_EQ(ListedNames(scratch + "Empty\\"), "");
    EXPECT_EQ(ListedNames(scratch + "Missing\\"), "");
    // Without its backslash the search would list the parent's matches, or the current
    // directory's: no search then.
    EXPECT_EQ(ListedNames(scratch + "List"), "-");
    EXPECT_EQ(ListedNames(""), "-");
    // The pattern must fit a path (259 characters): a folder of 257 and "*.*" do not.
    std::string tooLong = scratch + std::string(256 - scratch.size(), 'a') + "\\";
    ASSERT_EQ(tooLong.size(), 257u);
    EXPECT_EQ(ListedNames(tooLong), "-");
    std::string fits = scratch + std::string(255 - scratch.size(), 'a') + "\\";
    EXPECT_EQ(ListedNames(fits), "");  // searched, and names nothing
}

static unsigned long long fakeAvailable;
static int oldQueryCalls;
static BOOL WINAPI FakeFreeEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                              PULARGE_INTEGER free)
{
    EXPECT_STREQ(root, "C:\\");
    available->QuadPart = fakeAvailable;
    total->QuadPart = fakeAvailable * 4;
    free->QuadPart = fakeAvailable * 2;  // the user's share is what counts, not the volume's
    return TRUE;
}
static BOOL WINAPI FakeFree(LPCSTR, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    oldQueryCalls++;
    *sectors = 8;
    *bytes = 512;
    *freeClusters = 2560;  // 10 MB
    *clusters = 10000;
    return TRUE;
}
static DWORD fakeBuild;
static BOOL WINAPI FakeVersionEx(LPOSVERSIONINFOA info)
{
    info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    info->dwBuildNumber = 0x04000000 | fakeBuild;
    return TRUE;
}

class FreeSpace : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        host.getDiskFreeSpaceEx = FakeFreeEx;
        host.getDiskFreeSpace = FakeFree;
        host.getVersionEx = FakeVersionEx;
        oldQueryCalls = 0;
        lstrcpyA(session.destFolder, "C:\\Soft\\Tools\\");
        session.osClass = 8;
    }
};

TEST_F(FreeSpace, WholeMegabytesWithoutWrapAtFourGigabytes)
{
    fakeAvailable = 5ULL << 30;
    EXPECT_EQ(GetFreeMegabytes(), 5120u);
    fakeAvailable = 1048575;
    EXPECT_EQ(GetFreeMegabytes(), 0u);
    fakeAvailable = 100ULL << 20;
    EXPECT_EQ(GetFreeMegabytes(), 100u);
    EXPECT_EQ(oldQueryCalls, 0);
}

TEST_F(FreeSpace, EarlyWindows95UsesTheOldQuery)
{
    fakeAvailable = 5ULL << 30;
    session.osClass = 0;
    fakeBuild = 950;
    EXPECT_EQ(GetFreeMegabytes(), 10u);
    EXPECT_EQ(oldQueryCalls, 1);
    fakeBuild = 1111;
    EXPECT_EQ(GetFreeMegabytes(), 5120u);
    EXPECT_EQ(oldQueryCalls, 1);
}

TEST_F(FreeSpace, NoDriveRootGivesZero)
{
    fakeAvailable = 5ULL << 30;
    lstrcpyA(session.destFolder, "\\\\server\\share\\");
    EXPECT_EQ(GetFreeMegabytes(), 0u);
}

TEST_F(FreeSpace, RealQueryOfThePrefixDrive)
{
    ResetHostHooks();
    host.messageBox = NULL;
    lstrcpyA(session.destFolder, scratch.c_str());
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    unsigned expected = (unsigned)(available.QuadPart >> 20);
    unsigned got = GetFreeMegabytes();
    EXPECT_LE(got > expected ? got - expected : expected - got, 64u);  // the disk may change a little
}
