// Shared test support: a fresh session per test, recorded message boxes with scripted
// answers, and scratch folders and setup information files on the prefix's drive C.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "common/texts.h"

// Tests of Japanese behaviour run only where the ANSI code page is 932. Every other test
// runs in both languages: it compares with the text table (Text, TextWith below).
#define REQUIRE_932() \
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932"

struct ShownMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

// Every box shown since the test began, in order.
extern std::vector<ShownMessage> shownMessages;

// Answers given to the next boxes, in order; when none is left a box gets IDOK for an OK
// box, else IDYES... unless the test queued something.
void QueueAnswers(std::initializer_list<int> answers);

// The text id's format of the run's language filled as the program fills its messages
// (FormatText of the core), so that a test compares in English and in Japanese alike.
std::string TextWith(TextId id, const std::string& argument);
std::string TextWith(TextId id, const std::string& first, const std::string& second);
std::string TextWith(TextId id, unsigned number);

// Zero-fills the session record, as at the start of a process: the tests run many
// sessions in one.
void ResetSession();

// Base fixture: zero session, real host calls with recorded message boxes, and a scratch
// folder C:\unit\<test name>\ (removed and made anew).
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Scratch folder with trailing backslash.
    std::string scratch;
    // Writes a file with the given bytes below the scratch folder; returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& bytes);
    // Writes lines "[Section]" / "key=value" as a setup information file; sets infPath.
    std::string WriteInf(const std::string& relative, const std::string& text);
};

// A file held open without any sharing, as a running program holds its own file: it can
// be neither deleted nor replaced while held.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : h_(CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL))
    {
        EXPECT_TRUE(Held()) << path;
    }
    ~LockedFile() { Release(); }
    bool Held() const { return h_ != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Held()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
private:
    HANDLE h_;
};

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
void RemoveTree(const std::string& path);
std::string ReadFileBytes(const std::string& path);

// Saves a registry value when made and puts it back (or removes it) when destroyed, so
// that a test may change the prefix's host settings.
class SavedRegValue {
public:
    SavedRegValue(HKEY root, const char* key, const char* name);
    ~SavedRegValue();
    void Set(const std::string& text);
    void Remove();
private:
    HKEY root_;
    std::string key_, name_;
    bool existed_;
    DWORD type_;
    std::string data_;
};
