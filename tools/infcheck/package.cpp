// Looks at the package on disk: file contents, folder listings, source files by name.
#include "package.h"
#include <dirent.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <iconv.h>
#endif
#include "inf_text.h"
#include "core/dbcs.h"

int LoadFile(const std::string& path, std::string* bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return 0;
    bytes->clear();
    char block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0) bytes->append(block, got);
    int failed = ferror(file);
    fclose(file);
    return !failed;
}

int IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string FindInFolder(const std::string& folder, const char* name)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return std::string();
    std::string found;
    while (struct dirent* entry = readdir(dir)) {
        if (SameNameIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

#ifndef _WIN32
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
#endif

// One path element of a source name, looked for in folder without case.
static std::string FindElement(const std::string& folder, const std::string& element,
                               unsigned codePage)
{
    if (element == "." || element == "..") return element;
    std::string found = FindInFolder(folder, element.c_str());
#ifndef _WIN32
    if (found.empty() && codePage == 932) {
        std::string utf8 = Utf8OfShiftJis(element);
        if (!utf8.empty()) found = FindInFolder(folder, utf8.c_str());
    }
#else
    (void)codePage;
#endif
    return found;
}

int SourceInPackage(const char* source, unsigned codePage, void* context)
{
    // A drive or a leading backslash names a file outside the package.
    if (!source[0] || source[0] == '\\' || source[0] == '/' || source[1] == ':') return 0;
    std::string path = *static_cast<const std::string*>(context);
    const char* element = source;
    for (const char* p = source;; p += CharStep(p)) {
        if (*p && *p != '\\' && *p != '/') continue;
        std::string name(element, p);
        if (!name.empty()) {
            std::string found = FindElement(path, name, codePage);
            if (found.empty()) return 0;
            path += "/" + found;
        }
        if (!*p) break;
        element = p + 1;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}
