// The section reader, held values and entry resolution over arbitrary setup-file text.
#include "fuzz_support.h"
#include <string.h>
#include "core/setupinfo.h"
#include "core/sizes.h"
#include "core/text.h"

struct HeldSection {
    const char* block;
};

static unsigned ReadHeld(void* context, unsigned n, char* buffer, unsigned size)
{
    ReadSectionValue(static_cast<HeldSection*>(context)->block, FormatEntryKey(n), buffer, size);
    return TextLength(buffer);
}

static void CheckResolution(char* value, bool group, const char* dest)
{
    char original[kPathSize];
    memcpy(original, value, kPathSize);
    char target[kPathSize];
    target[0] = 'Q';
    target[1] = 0;
    int relative = -1;
    int fits = group ? ResolveGroupValue(value, dest, target, sizeof target, &relative)
                     : ResolveInstallValue(value, dest, target, sizeof target, &relative);
    FUZZ_CHECK(strlen(value) <= strlen(original));
    FUZZ_CHECK(strncmp(value, original, strlen(value)) == 0);
    if (group && !FindCharDbcs(original, ',')) {
        FUZZ_CHECK(fits == 1 && value[0] == 0 && strcmp(target, "Q") == 0);
        return;
    }
    if (!fits) {
        FUZZ_CHECK(target[0] == 0 && relative == 0);
        return;
    }
    FUZZ_CHECK(strlen(target) < kPathSize);
    FUZZ_CHECK(relative == (int)strlen(dest));
    FUZZ_CHECK(strncmp(target, dest, strlen(dest)) == 0);
    // The destination is the source itself, or what follows the source's comma.
    const char* rest = strlen(value) < strlen(original) ? original + strlen(value) + 1 : original;
    FUZZ_CHECK(strcmp(target + relative, rest) == 0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = TakeCodePage(data, size);
    unsigned blockSize = size ? 16 + data[0] * 8u : 16;
    std::string block(blockSize, 'Z');
    unsigned used = SectionFromText(text.data(), (unsigned)text.size(), "Install", &block[0],
                                    blockSize);
    FUZZ_CHECK(used <= blockSize);
    if (!used) return 0;
    FUZZ_CHECK(block[used - 1] == 0 && (used == 1 || block[used - 2] == 0));
    // Every entry lies inside the used bytes.
    size_t walked = 0;
    while (block[walked]) walked += strlen(&block[walked]) + 1;
    FUZZ_CHECK(walked + 1 == used);

    HeldSection held = {block.data()};
    const char* keys[] = {"1", "2", "3", "Title", "Folder", "01"};
    for (const char* key : keys) {
        char value[kPathSize];
        ReadSectionValue(block.data(), key, value, sizeof value);
        FUZZ_CHECK(strlen(value) < sizeof value);
        char copy[kPathSize];
        memcpy(copy, value, sizeof value);
        CheckResolution(value, false, "C:\\App\\");
        CheckResolution(copy, true, "C:\\Program Files\\Sample\\");
    }
    int count = CountInstallEntries(ReadHeld, &held);
    FUZZ_CHECK(count >= 0 && (size_t)count <= used);
    int groups = CountGroupEntries(ReadHeld, &held);
    FUZZ_CHECK(groups >= 0 && groups <= count);
    char name[kPathSize];
    if (FindUninstallItem(ReadHeld, &held, name, sizeof name)) FUZZ_CHECK(strlen(name) < kPathSize);
    return 0;
}
