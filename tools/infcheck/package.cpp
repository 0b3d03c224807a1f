// Looks at the package on disk: file contents, folder listings, source files by name.
#include "package.h"
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include "inf_text.h"
#include "core/dbcs.h"

#ifdef _WIN32
static int SystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) ? 1 : 0;
}
static const LeadByteTest kFileNameLeadByte = SystemLeadByte;
#else
// Names on this system are UTF-8, whose bytes above 0x7F are never a separator or an
// ASCII letter: single bytes are the right steps.
static const LeadByteTest kFileNameLeadByte = NULL;
#endif

// While it lives, the core's double-byte scans step through the names of the file system,
// whatever code page the setup information file is read in.
class FileNameSteps {
public:
    FileNameSteps() : kept_(UseLeadByteTest(kFileNameLeadByte)) {}
    ~FileNameSteps() { UseLeadByteTest(kept_); }
    FileNameSteps(const FileNameSteps&) = delete;
    FileNameSteps& operator=(const FileNameSteps&) = delete;
private:
    LeadByteTest kept_;
};

// The last separator of path, or NULL: "\" (not the second byte of a character) or "/"
// in the Windows build; natively only "/", since "\" is a letter of a name there.
static const char* LastSeparator(const char* path)
{
    FileNameSteps steps;
    const char* slash = FindLastCharDbcs(path, '/');
#ifdef _WIN32
    const char* backslash = FindLastCharDbcs(path, '\\');
    if (backslash && (!slash || backslash > slash)) return backslash;
#endif
    return slash;
}

std::string FolderOf(const std::string& path)
{
    const char* separator = LastSeparator(path.c_str());
    if (!separator) return ".";
    if (separator == path.c_str()) return path.substr(0, 1);
    return path.substr(0, (size_t)(separator - path.c_str()));
}

std::string NameOf(const std::string& path)
{
    const char* separator = LastSeparator(path.c_str());
    return separator ? std::string(separator + 1) : path;
}

std::string Joined(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    const char* end = LastSeparator(folder.c_str());
    if (end && !end[1]) return folder + name;
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

#ifdef _WIN32

int IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LoadResult LoadFile(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return IsFolder(path) ? LOAD_NOT_A_FILE : LOAD_UNREADABLE;
    LoadResult result = LOAD_READ;
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK)
        result = LOAD_NOT_A_FILE;
    else if (!GetFileSizeEx(file, &size))
        result = LOAD_UNREADABLE;
    else if (size.QuadPart > kLargestInfFile)
        result = LOAD_TOO_LARGE;
    if (result == LOAD_READ) {
        bytes->assign((size_t)size.QuadPart, '\0');
        DWORD got = 0;
        if (!bytes->empty() && (!ReadFile(file, &(*bytes)[0], (DWORD)bytes->size(), &got, NULL) ||
                                got != bytes->size()))
            result = LOAD_UNREADABLE;
    }
    CloseHandle(file);
    return result;
}

std::string FindInPackage(PackageFolder* package, const char* name)
{
    // A name without wildcards finds the one file of that name, in whatever case it
    // is written on disk.
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(Joined(package->path, name).c_str(), &data);
    if (found == INVALID_HANDLE_VALUE) return std::string();
    FindClose(found);
    return data.cFileName;
}

// text of code page codePage appended to wide.
static void AppendWide(std::wstring* wide, const std::string& text, unsigned codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), NULL, 0);
    if (length <= 0) return;
    size_t at = wide->size();
    wide->resize(at + (size_t)length);
    MultiByteToWideChar(codePage, 0, text.data(), (int)text.size(), &(*wide)[at], length);
}

int SourceInPackage(const char* source, unsigned codePage, void* context)
{
    // The folder is a name of the system's code page, the source one of the file's: both
    // go through wide text, so that a Japanese package checks alike on every system. The
    // file system compares names without case, as the program's copy does.
    const PackageFolder& package = *static_cast<const PackageFolder*>(context);
    std::wstring path;
    AppendWide(&path, package.path, CP_ACP);
    path += L"\\";
    AppendWide(&path, source, codePage);
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

#else

LoadResult LoadFile(const std::string& path, std::string* bytes)
{
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    int file = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (file < 0) return LOAD_UNREADABLE;
    LoadResult result = LOAD_READ;
    struct stat info;
    if (fstat(file, &info) != 0)
        result = LOAD_UNREADABLE;
    else if (!S_ISREG(info.st_mode))
        result = LOAD_NOT_A_FILE;
    else if (info.st_size > kLargestInfFile)
        result = LOAD_TOO_LARGE;
    bytes->clear();
    // A file may grow while it is read (or report no size at all): the limit holds for
    // what is read too.
    char block[65536];
    ssize_t got = 0;
    while (result == LOAD_READ && (got = read(file, block, sizeof block)) > 0) {
        bytes->append(block, (size_t)got);
        if (bytes->size() > kLargestInfFile) result = LOAD_TOO_LARGE;
    }
    if (result == LOAD_READ && got < 0) result = LOAD_UNREADABLE;
    close(file);
    return result;
}

int IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names of folder, each under its name without case (the first of names that differ
// only in case).
static NameIndex<std::string> ListFolder(const std::string& folder)
{
    NameIndex<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    FileNameSteps steps;
    while (struct dirent* entry = readdir(dir))
        names.insert(std::make_pair(CaselessName(entry->d_name), std::string(entry->d_name)));
    closedir(dir);
    return names;
}

static std::string FindListed(const NameIndex<std::string>& names, const std::string& name)
{
    FileNameSteps steps;
    auto found = names.find(CaselessName(name));
    return found == names.end() ? std::string() : found->second;
}

// A Shift-JIS name as UTF-8, the way a package unpacked on Linux usually names its files.
static std::string Utf8OfShiftJis(const std::string& name)
{
    iconv_t convert = iconv_open("UTF-8", "CP932");
    if (convert == (iconv_t)-1) return std::string();
    std::string in = name;
    char out[1024];
    char* inPointer = &in[0];
    size_t inLeft = in.size();
    char* outPointer = out;
    size_t outLeft = sizeof out;
    size_t result = iconv(convert, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(convert);
    if (result == (size_t)-1 || inLeft) return std::string();
    return std::string(out, outPointer);
}

// One path element of a source name, looked for in folder without case; the folder is
// listed the first time a source names it.
static std::string FindElement(PackageFolder* package, const std::string& folder,
                               const std::string& element, unsigned codePage)
{
    if (element == "." || element == "..") return element;
    auto listing = package->listings.find(folder);
    if (listing == package->listings.end())
        listing = package->listings.insert(std::make_pair(folder, ListFolder(folder))).first;
    std::string found = FindListed(listing->second, element);
    if (found.empty() && codePage == 932) {
        std::string utf8 = Utf8OfShiftJis(element);
        if (!utf8.empty()) found = FindListed(listing->second, utf8);
    }
    return found;
}

std::string FindInPackage(PackageFolder* package, const char* name)
{
    return FindElement(package, package->path, name, 0);
}

int SourceInPackage(const char* source, unsigned codePage, void* context)
{
    PackageFolder* package = static_cast<PackageFolder*>(context);
    std::string path = package->path;
    // The elements are split with the file's own double-byte steps, as the program's copy
    // reads the name.
    const char* element = source;
    for (const char* p = source;; p += CharStep(p)) {
        if (*p && *p != '\\' && *p != '/') continue;
        std::string name(element, p);
        if (!name.empty()) {
            std::string found = FindElement(package, path, name, codePage);
            if (found.empty()) return 0;
            path += "/" + found;
        }
        if (!*p) break;
        element = p + 1;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

#endif
