// The folder cut out of an UninstallString: a drive letter to a backslash, bounded.
#include "fuzz_support.h"
#include <string.h>
#include "core/setupinfo.h"
#include "core/sizes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string value = Terminated(TakeCodePage(data, size));
    IsUninstallCandidate(value.c_str());
    unsigned room = size ? 1 + data[0] % kPathSize : kPathSize;
    std::string folder(room + 8, 'Z');
    if (!FolderOfUninstallString(value.c_str(), &folder[0], room)) {
        FUZZ_CHECK(folder.compare(room, 8, "ZZZZZZZZ") == 0);
        return 0;
    }
    size_t length = strlen(folder.c_str());
    FUZZ_CHECK(length + 1 <= room);
    FUZZ_CHECK(folder.compare(room, 8, "ZZZZZZZZ") == 0);
    FUZZ_CHECK(length >= 3 && folder[1] == ':' && folder[length - 1] == '\\');
    // It is the piece of the value from the drive letter (a character of its own, in front
    // of the first colon) to the value's last backslash.
    const char* drive = FindCharDbcs(value.c_str(), ':') - 1;
    FUZZ_CHECK(AtBoundary(value.c_str(), (size_t)(drive - value.c_str())));
    FUZZ_CHECK(memcmp(drive, folder.data(), length) == 0);
    FUZZ_CHECK(drive + length - 1 == FindLastCharDbcs(value.c_str(), '\\'));
    return 0;
}
