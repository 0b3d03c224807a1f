// Shared set-up of the shortcut tests: the user's Shell Folders values pointed at scratch
// folders (and put back afterwards), a destination folder, and a reader for link files.
#pragma once
#include "support.h"
#include <shlobj.h>
#include <algorithm>
#include "common/session.h"
#include "shell/shortcuts.h"
#include "common/keys.h"

struct LinkInfo {
    bool loaded = false;
    std::string path, arguments, workingFolder, description;
};

// Loads a link file back through the shell-link object.
inline LinkInfo ReadLink(const std::string& file)
{
    LinkInfo info;
    HRESULT com = CoInitialize(NULL);
    IShellLinkA* link = NULL;
    IPersistFile* persist = NULL;
    WCHAR wide[MAX_PATH];
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&persist)) &&
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char text[1024];
        WIN32_FIND_DATAA data;
        info.loaded = true;
        text[0] = 0;
        link->GetPath(text, MAX_PATH, &data, SLGP_RAWPATH);
        info.path = text;
        text[0] = 0;
        link->GetArguments(text, sizeof text);
        info.arguments = text;
        text[0] = 0;
        link->GetWorkingDirectory(text, MAX_PATH);
        info.workingFolder = text;
        text[0] = 0;
        link->GetDescription(text, sizeof text);
        info.description = text;
    }
    if (persist) persist->Release();
    if (link) link->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return info;
}

static const char kShellFolders[] = SHELL_FOLDERS_KEY;

class ShortcutFixture : public SessionTest {
protected:
    std::string programs, desktop, startup;  // place folders, without trailing backslash
    std::string source, dest;
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5151));

    void SetUp() override
    {
        SessionTest::SetUp();
        WarmUpShell(scratch);
        for (int i = 0; i < 3; i++) saved[i].present = ReadValue(kNames[i], &saved[i]);
        programs = scratch + "programs";
        desktop = scratch + "desktop";
        startup = scratch + "startup";
        CreateDirectoryA(programs.c_str(), NULL);
        CreateDirectoryA(desktop.c_str(), NULL);
        CreateDirectoryA(startup.c_str(), NULL);
        SetPlace("Programs", programs);
        SetPlace("Desktop", desktop + "\\");  // a value that already ends in a backslash
        SetPlace("Startup", startup);
        source = scratch + "src\\";
        dest = scratch + "dest\\";
        WriteFile("dest\\app.exe", "app");
        WriteFile("dest\\readme.txt", "readme");
        WriteFile("dest\\install.exe", "installer");
        CreateDirectoryA(source.c_str(), NULL);
        SetCurrentDirectoryA(source.c_str());
        lstrcpyA(session.destFolder, dest.c_str());
        lstrcpyA(session.title, "Sample App");
        session.progressWindow = owner;
    }
    void TearDown() override
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            for (int i = 0; i < 3; i++) {
                // Deleted first, so that the value comes back under its own spelling.
                RegDeleteValueA(key, kNames[i]);
                if (saved[i].present)
                    RegSetValueExA(key, saved[i].name.c_str(), 0, REG_SZ,
                                   (const BYTE*)saved[i].text.c_str(), (DWORD)saved[i].text.size() + 1);
            }
            RegCloseKey(key);
        }
        SessionTest::TearDown();
    }

    static void SetPlace(const char* name, const std::string& folder)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, NULL, 0, KEY_WRITE, NULL, &key,
                                  NULL),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)folder.c_str(), (DWORD)folder.size() + 1);
        RegCloseKey(key);
    }
    static void RemovePlace(const char* name)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
            return;
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }

    // An install.inf in the source folder; groups is the number of [Group] entries in it.
    void UseInf(const std::string& text, int groups)
    {
        WriteInf("src\\install.inf", text);
        session.groupCount = groups;
    }

    // Names of the link files in a folder, sorted by the file system's listing.
    static std::vector<std::string> Links(const std::string& folder)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((folder + "\\*.lnk").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return names;
        do names.push_back(data.cFileName);
        while (FindNextFileA(h, &data));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    // Wine's shell writes its own Desktop path back into the Shell Folders key the first
    // time a process saves a link; saving one here first keeps the values set below.
    static void WarmUpShell(const std::string& folder)
    {
        static bool done = false;
        if (done) return;
        done = true;
        HRESULT com = CoInitialize(NULL);
        IShellLinkA* link = NULL;
        IPersistFile* persist = NULL;
        std::string file = folder + "warmup.lnk";
        WCHAR wide[MAX_PATH];
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       (void**)&link)) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&persist)) &&
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH)) {
            link->SetPath(folder.c_str());
            persist->Save(wide, TRUE);
        }
        if (persist) persist->Release();
        if (link) link->Release();
        if (SUCCEEDED(com)) CoUninitialize();
        DeleteFileA(file.c_str());
    }

    static constexpr const char* kNames[3] = {"Programs", "Desktop", "Startup"};
    struct Saved {
        bool present = false;
        std::string name;  // as the key spells it, e.g. "StartUp"
        std::string text;
    } saved[3];

    // Finds the value whose name matches regardless of case.
    static bool ReadValue(const char* name, Saved* value)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        bool found = false;
        for (DWORD i = 0; !found; i++) {
            char valueName[256], data[1024] = {};
            DWORD nameSize = sizeof valueName, size = sizeof data - 1, type = 0;
            if (RegEnumValueA(key, i, valueName, &nameSize, NULL, &type, (BYTE*)data, &size) !=
                ERROR_SUCCESS)
                break;
            if (lstrcmpiA(valueName, name) == 0) {
                found = true;
                value->name = valueName;
                value->text = data;
            }
        }
        RegCloseKey(key);
        return found;
    }
};
