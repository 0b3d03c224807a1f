// The uninstall entry: its key, its two values, overwriting, and a command that does not fit.
#include "support.h"
#include "common/host.h"
#include "common/session.h"
#include "wizard/register.h"
#include "common/keys.h"


class RegisterUninstallTest : public SessionTest {
protected:
    // Folder values used by these tests; their keys are removed before and after.
    const char* const folders[3] = {"CopyShellTestA", "CopyShellTestB", "CopyShellTestLong"};

    void SetUp() override
    {
        SessionTest::SetUp();
        RemoveKeys();
        lstrcpyA(session.installerName, "INSTALL.EXE");
    }
    void TearDown() override
    {
        RemoveKeys();
        SessionTest::TearDown();
    }
    void RemoveKeys()
    {
        for (const char* folder : folders)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(UNINSTALL_KEY) + folder).c_str());
    }
    static void Set(const char* folder, const char* title, const std::string& destFolder)
    {
        lstrcpyA(session.folder, folder);
        lstrcpyA(session.title, title);
        lstrcpyA(session.destFolder, destFolder.c_str());
    }
    // The value's text, "<missing>" when the key or value is absent; size and type checked.
    static std::string Value(const char* folder, const char* name)
    {
        HKEY key;
        std::string path = std::string(UNINSTALL_KEY) + folder;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<missing>";
        char data[1024] = {};
        DWORD type = 0, size = sizeof data - 1;
        LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) return "<missing>";
        EXPECT_EQ(type, (DWORD)REG_SZ) << name;
        EXPECT_EQ(size, (DWORD)lstrlenA(data) + 1) << name;  // stored with its terminator
        return data;
    }
    static DWORD SubKeyCount()
    {
        HKEY key;
        DWORD count = 0;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        RegQueryInfoKeyA(key, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
        RegCloseKey(key);
        return count;
    }
};

TEST_F(RegisterUninstallTest, WritesTitleAndQuotedCommand)
{
    DWORD before = SubKeyCount();
    Set(folders[0], "Copy Shell Test", "C:\\Program Files\\Copy Shell\\");
    EXPECT_EQ(RegisterUninstall(), 1);
    EXPECT_EQ(Value(folders[0], "DisplayName"), "Copy Shell Test");
    EXPECT_EQ(Value(folders[0], "UninstallString"),
              "\"C:\\Program Files\\Copy Shell\\INSTALL.EXE\" /r");
    EXPECT_EQ(SubKeyCount(), before + 1);
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(RegisterUninstallTest, SameFolderOverwritesAndOtherFolderAddsAKey)
{
    DWORD before = SubKeyCount();
    Set(folders[0], "First", "C:\\Soft\\");
    RegisterUninstall();
    Set(folders[0], "Second", "D:\\Other Place\\");
    lstrcpyA(session.installerName, "SETUP.EXE");
    RegisterUninstall();
    EXPECT_EQ(SubKeyCount(), before + 1);
    EXPECT_EQ(Value(folders[0], "DisplayName"), "Second");
    EXPECT_EQ(Value(folders[0], "UninstallString"), "\"D:\\Other Place\\SETUP.EXE\" /r");

    Set(folders[1], "Neighbour", "D:\\Other Place\\");
    RegisterUninstall();
    EXPECT_EQ(SubKeyCount(), before + 2);
    EXPECT_EQ(Value(folders[1], "DisplayName"), "Neighbour");
    EXPECT_EQ(Value(folders[1], "UninstallString"), "\"D:\\Other Place\\SETUP.EXE\" /r");
    EXPECT_EQ(Value(folders[0], "DisplayName"), "Second");
}

TEST_F(RegisterUninstallTest, CommandThatDoesNotFitWritesNothing)
{
    // Quote, folder, INSTALL.EXE, quote, blank, /r: the folder may have 243 characters.
    std::string fits = "C:\\" + std::string(239, 'a') + "\\";
    ASSERT_EQ(fits.size(), 243u);
    Set(folders[2], "Long", fits);
    EXPECT_EQ(RegisterUninstall(), 1);
    std::string command = Value(folders[2], "UninstallString");
    EXPECT_EQ(command, "\"" + fits + "INSTALL.EXE\" /r");
    EXPECT_EQ(command.size(), 259u);

    RemoveKeys();
    std::string tooLong = "C:\\" + std::string(240, 'a') + "\\";
    Set(folders[2], "Long", tooLong);
    EXPECT_EQ(RegisterUninstall(), 0);
    EXPECT_EQ(Value(folders[2], "DisplayName"), "<missing>");
    EXPECT_EQ(Value(folders[2], "UninstallString"), "<missing>");
}

// A registry that refuses one of the two values (the 9x registry's size limits, a
// policy): without both the entry counts as not written, so the end of the install does
// not send the user to a list that cannot uninstall.
static std::string refusedName;
static LONG WINAPI RefuseOneValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                  const BYTE* data, DWORD size)
{
    if (refusedName == name) return ERROR_CANTWRITE;
    return RegSetValueExA(key, name, reserved, type, data, size);
}

TEST_F(RegisterUninstallTest, RefusedValueMeansNoEntry)
{
    host.regSetValueEx = RefuseOneValue;
    for (const char* name : {"UninstallString", "DisplayName"}) {
        RemoveKeys();
        refusedName = name;
        Set(folders[0], "Refused", "C:\\Soft\\");
        EXPECT_EQ(RegisterUninstall(), 0) << name;
        EXPECT_EQ(Value(folders[0], name), "<missing>");
    }
    refusedName = "";
    EXPECT_EQ(RegisterUninstall(), 1);
    EXPECT_EQ(Value(folders[0], "UninstallString"), "\"C:\\Soft\\INSTALL.EXE\" /r");
    EXPECT_TRUE(shownMessages.empty());
}
