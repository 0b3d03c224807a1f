// Shared set-up of the file-copy tests: a source and a destination folder below the
// scratch folder, the current directory in the source folder, and file-time helpers.
#pragma once
#include "support.h"
#include "common/session.h"
#include "setupinfo/entries.h"
#include "wizard/copy_entry.h"

class CopyFixture : public SessionTest {
protected:
    std::string source;  // scratch + "src\"
    std::string dest;    // scratch + "dst\"
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242));

    void SetUp() override
    {
        SessionTest::SetUp();
        source = scratch + "src\\";
        dest = scratch + "dst\\";
        CreateDirectoryA(source.c_str(), NULL);
        CreateDirectoryA(dest.c_str(), NULL);
        SetCurrentDirectoryA(source.c_str());
        lstrcpyA(session.destFolder, dest.c_str());
        lstrcpyA(session.installerName, "INSTALL.EXE");
        lstrcpyA(session.infName, "install.inf");
        session.progressWindow = owner;
    }

    // An install.inf in the source folder whose [Install] 1 is entry; resolves it.
    int Resolve(const std::string& entry)
    {
        WriteInf("src\\install.inf", "[Install]\r\n1=" + entry + "\r\n");
        return ResolveEntry(1);
    }

    // Sets the last-write time of a file, given in local time.
    static void SetLocalTime(const std::string& path, WORD year, WORD month, WORD day,
                             WORD hour, WORD minute, WORD second)
    {
        SYSTEMTIME t = {};
        t.wYear = year;
        t.wMonth = month;
        t.wDay = day;
        t.wHour = hour;
        t.wMinute = minute;
        t.wSecond = second;
        FILETIME local, utc;
        ASSERT_TRUE(SystemTimeToFileTime(&t, &local));
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
        HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
        EXPECT_TRUE(SetFileTime(h, NULL, NULL, &utc));
        CloseHandle(h);
    }

    // A source file and an existing destination file of the same relative name.
    void WritePair(const std::string& name, const std::string& sourceBytes,
                   const std::string& destBytes)
    {
        WriteFile("src\\" + name, sourceBytes);
        WriteFile("dst\\" + name, destBytes);
    }

    static std::string Upper(std::string text)
    {
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
        return text;
    }
};
