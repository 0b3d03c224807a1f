// Test support shared by the unit tests.
#include "support.h"
#include "common/host.h"
#include "common/session.h"
#include "core/text.h"

std::vector<ShownMessage> shownMessages;
static std::vector<int> queuedAnswers;

void QueueAnswers(std::initializer_list<int> answers)
{
    queuedAnswers.insert(queuedAnswers.end(), answers.begin(), answers.end());
}

static int WINAPI RecordMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    shownMessages.push_back({owner, text ? text : "", caption ? caption : "", style});
    if (!queuedAnswers.empty()) {
        int answer = queuedAnswers.front();
        queuedAnswers.erase(queuedAnswers.begin());
        return answer;
    }
    UINT buttons = style & MB_TYPEMASK;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) return IDYES;
    return IDOK;
}

void RemoveTree(const std::string& path)
{
    std::string pattern = path + "\\*";
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, NULL) && got) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

std::string TextWith(TextId id, const std::string& argument)
{
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(id), argument.c_str());
    return text;
}

std::string TextWith(TextId id, const std::string& first, const std::string& second)
{
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(id), first.c_str(), second.c_str());
    return text;
}

std::string TextWith(TextId id, unsigned number)
{
    char text[kMessageSize];
    FormatText(text, sizeof text, Text(id), number);
    return text;
}

void ResetSession()
{
    ZeroMemory(&session, sizeof session);
}

void SessionTest::SetUp()
{
    ResetSession();
    ResetHostHooks();
    host.messageBox = RecordMessage;
    shownMessages.clear();
    queuedAnswers.clear();
    session.japanese = GetACP() == 932;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = "C:\\unit";
    CreateDirectoryA(base.c_str(), NULL);
    std::string folder = base + "\\" + info->test_suite_name() + "." + info->name();
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    scratch = folder + "\\";
}

void SessionTest::TearDown()
{
    ResetHostHooks();
    SetCurrentDirectoryA("C:\\");
    RemoveTree(scratch.substr(0, scratch.size() - 1));
}

std::string SessionTest::WriteFile(const std::string& relative, const std::string& bytes)
{
    std::string path = scratch + relative;
    for (size_t i = scratch.size(); i < path.size(); i++)
        if (path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), NULL);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(h);
    return path;
}

std::string SessionTest::WriteInf(const std::string& relative, const std::string& text)
{
    std::string path = WriteFile(relative, text);
    lstrcpynA(session.infPath, path.c_str(), sizeof session.infPath);
    return path;
}

SavedRegValue::SavedRegValue(HKEY root, const char* key, const char* name)
    : root_(root), key_(key), name_(name), existed_(false), type_(REG_SZ)
{
    HKEY k;
    if (RegOpenKeyExA(root_, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    char buffer[2048];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(k, name, NULL, &type_, (BYTE*)buffer, &size) == ERROR_SUCCESS) {
        existed_ = true;
        data_.assign(buffer, size);
    }
    RegCloseKey(k);
}

SavedRegValue::~SavedRegValue()
{
    HKEY k;
    if (RegCreateKeyExA(root_, key_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL) != ERROR_SUCCESS)
        return;
    if (existed_)
        RegSetValueExA(k, name_.c_str(), 0, type_, (const BYTE*)data_.data(), (DWORD)data_.size());
    else
        RegDeleteValueA(k, name_.c_str());
    RegCloseKey(k);
}

void SavedRegValue::Set(const std::string& text)
{
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root_, key_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL),
              ERROR_SUCCESS);
    RegSetValueExA(k, name_.c_str(), 0, REG_SZ, (const BYTE*)text.c_str(), (DWORD)text.size() + 1);
    RegCloseKey(k);
}

void SavedRegValue::Remove()
{
    HKEY k;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, name_.c_str());
    RegCloseKey(k);
}
