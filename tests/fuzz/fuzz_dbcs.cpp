// The double-byte scans, bounded copies, case changes and path rules (the folder shapes
// among them), mostly under code page 932: no read past the end, no cut through a
// character, second bytes left alone.
#include "fuzz_support.h"
#include <string.h>
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/sizes.h"
#include "core/text.h"

static void CheckScans(const std::string& text)
{
    const char* s = text.c_str();
    size_t length = text.size();
    // Each offset against one walk (the first 512: the test walks from the start each time).
    std::string trail(length + 1, 0);
    for (size_t i = 0; i < length; i += CharStep(s + i))
        if (CharStep(s + i) == 2) trail[i + 1] = 1;
    for (size_t n = 0; n <= length && n < 512; n++) FUZZ_CHECK(IsTrailByteAt(s, (unsigned)n) == trail[n]);
    const char* first = FindCharDbcs(s, '\\');
    const char* last = FindLastCharDbcs(s, '\\');
    FUZZ_CHECK((first == NULL) == (last == NULL));
    if (first) {
        FUZZ_CHECK(*first == '\\' && *last == '\\' && first <= last);
        FUZZ_CHECK(AtBoundary(s, first - s) && AtBoundary(s, last - s));
    }
    // The leaf is the whole text after the last backslash, cut only at a path's size.
    const char* leaf = GetLeafName(s);
    const char* after = first ? last + 1 : s;
    size_t leafLength = strlen(leaf);
    FUZZ_CHECK(leafLength < kPathSize && strncmp(leaf, after, leafLength) == 0);
    if (strlen(after) < kPathSize) FUZZ_CHECK(leafLength == strlen(after));
}

// A folder that is a root or below one is given in full; one name more is below a root,
// and an empty element, "." or ".." more is not absolute.
static void CheckFolderShape(const std::string& text)
{
    FolderShape shape = ShapeOfFolder(text.c_str());
    if (shape == FOLDER_NOT_ABSOLUTE) return;
    FUZZ_CHECK(EndsInBackslash(text.c_str()));
    FUZZ_CHECK(text[1] == ':' || (text[0] == '\\' && text[1] == '\\'));
    if (shape == FOLDER_ROOT && text[1] == ':') FUZZ_CHECK(text.size() == 3);
    FUZZ_CHECK(ShapeOfFolder((text + "x\\").c_str()) == FOLDER_BELOW_ROOT);
    for (const char* bad : {"\\", ".\\", "..\\"})
        FUZZ_CHECK(ShapeOfFolder((text + bad).c_str()) == FOLDER_NOT_ABSOLUTE);
}

static void CheckCopies(const std::string& text, unsigned room)
{
    std::string out(room + 4, 'Z');
    int whole = CopyText(&out[0], room, text.c_str());
    size_t got = strlen(out.c_str());
    FUZZ_CHECK(got < room);
    FUZZ_CHECK(out.compare(room, 4, "ZZZZ") == 0);
    FUZZ_CHECK(text.compare(0, got, out.c_str()) == 0);
    FUZZ_CHECK(whole == (got == text.size()));
    FUZZ_CHECK(AtBoundary(text.c_str(), got));
    if (!whole) FUZZ_CHECK(got + CharStep(text.c_str() + got) > room - 1);
}

static void CheckCase(const std::string& text)
{
    std::string upper = text, lower = text;
    UpperAscii(&upper[0]);
    LowerAscii(&lower[0]);
    const char* s = text.c_str();
    for (size_t i = 0; i < text.size(); i += CharStep(s + i)) {
        bool pair = CharStep(s + i) == 2;
        char c = s[i];
        char expectUpper = !pair && c >= 'a' && c <= 'z' ? (char)(c - 32) : c;
        char expectLower = !pair && c >= 'A' && c <= 'Z' ? (char)(c + 32) : c;
        FUZZ_CHECK(upper[i] == expectUpper && lower[i] == expectLower);
        if (pair) FUZZ_CHECK(upper[i + 1] == s[i + 1] && lower[i + 1] == s[i + 1]);
    }
}

static void CheckPathRules(const std::string& text)
{
    char path[kPathSize];
    CopyText(path, sizeof path, text.c_str());
    size_t before = strlen(path);
    DestinationShape shape = NormaliseDestination(path, sizeof path);
    FUZZ_CHECK(strlen(path) < sizeof path);
    if (shape == DEST_TOO_LONG) FUZZ_CHECK(strlen(path) == before);
    else FUZZ_CHECK(EndsInBackslash(path));
    if (shape == DEST_ACCEPTED) FUZZ_CHECK(path[1] == ':' && path[2] == '\\');
    size_t normalised = strlen(path);
    int ended = EndsInBackslash(path);
    DropBackslash(path);
    FUZZ_CHECK(strlen(path) + (ended ? 1 : 0) == normalised);
    char item[kPathSize];
    CopyText(item, sizeof item, text.c_str());
    size_t itemLength = strlen(item);
    TakeItemName(item);
    FUZZ_CHECK(AtBoundary(text.c_str(), strlen(item)));
    FUZZ_CHECK(itemLength < 15 ? strlen(item) == itemLength : strlen(item) + 16 >= itemLength);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = Terminated(TakeCodePage(data, size));
    CheckScans(text);
    CheckCopies(text, 1 + (size ? data[0] % 64 : 0));
    CheckCase(text);
    CheckPathRules(text);
    CheckFolderShape(text);
    return 0;
}
