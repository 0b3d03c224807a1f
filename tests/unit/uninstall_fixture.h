// Shared set-up for the uninstall tests: an installed sample in a scratch folder, shell
// folders and the all-users programs folder pointed at scratch folders, registry helpers.
#pragma once
#include "support.h"
#include "setupinfo/context.h"
#include "common/host.h"
#include "common/session.h"
#include "uninstall/dialog.h"
#include "uninstall/deferred.h"
#include "uninstall/engine.h"
#include "uninstall/shortcuts_removal.h"
#include "files/folders.h"
#include "core/dbcs.h"
#include "core/destination.h"
#include "common/keys.h"

#define SHELL_FOLDERS SHELL_FOLDERS_KEY
#define UNIT_FOLDER_VALUE "UninstUnitSample"

inline void CreateKey(HKEY root, const std::string& path)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS)
        << path;
    RegSetValueExA(key, "v", 0, REG_SZ, (const BYTE*)"x", 2);
    RegCloseKey(key);
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline void DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[256];
        while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS) {
            std::string sub = path + "\\" + child;
            DeleteKeyTree(root, sub);
            if (KeyExists(root, sub)) break;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

class UninstallTest : public SessionTest {
protected:
    UninstallTest()
        : programs_(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs"),
          desktop_(HKEY_CURRENT_USER, SHELL_FOLDERS, "Desktop"),
          startup_(HKEY_CURRENT_USER, SHELL_FOLDERS, "Startup"),
          common_(HKEY_LOCAL_MACHINE, SHELL_FOLDERS, "Common Programs")
    {
    }

    void SetUp() override
    {
        SessionTest::SetUp();
        for (const char* name : {"Programs", "Desktop", "Startup", "Common"})
            CreateDirectoryA((scratch + name).c_str(), NULL);
        programs_.Set(scratch + "Programs");
        desktop_.Set(scratch + "Desktop");
        startup_.Set(scratch + "Startup");
        common_.Set(scratch + "Common");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY UNIT_FOLDER_VALUE);
        session.progressWindow = (HWND)0x1234;  // only compared as the owner of the boxes
        session.osClass = 6;
    }

    void TearDown() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY UNIT_FOLDER_VALUE);
        SessionTest::TearDown();
    }

    // An installation of title "Sample" in scratch\App\ with the given [Install] entries
    // (written as files too), extra inf text, the installer, the uninstall entry and the
    // single-link shortcuts.
    void Install(const std::vector<std::string>& entries, const std::string& extra = "",
                 const std::string& folder = "App\\")
    {
        std::string inf = "[Install]\r\nTitle=Sample\r\nFolder=" UNIT_FOLDER_VALUE "\r\n";
        for (size_t i = 0; i < entries.size(); i++)
            inf += std::to_string(i + 1) + "=" + entries[i] + "\r\n";
        inf += extra;
        dest = scratch + folder;
        lstrcpyA(session.destFolder, dest.c_str());
        lstrcpyA(session.title, "Sample");
        lstrcpyA(session.folder, UNIT_FOLDER_VALUE);
        lstrcpyA(session.installerName, "INSTALL.EXE");
        lstrcpyA(session.infName, "INSTALL.INF");
        session.entryCount = (int)entries.size();
        WriteInf(folder + "INSTALL.INF", inf);
        WriteFile(folder + "INSTALL.EXE", "MZ");
        for (const std::string& entry : entries) {
            size_t comma = entry.find(',');
            WriteFile(folder + (comma == std::string::npos ? entry : entry.substr(comma + 1)),
                      "data");
        }
        CreateKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY UNIT_FOLDER_VALUE);
        WriteFile("Programs\\Sample.lnk", "L");
        WriteFile("Desktop\\Sample.lnk", "L");
        WriteFile("Startup\\Sample.lnk", "L");
    }

    bool EntryExists() { return KeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY UNIT_FOLDER_VALUE); }

    std::string dest;
    SavedRegValue programs_, desktop_, startup_, common_;
};
