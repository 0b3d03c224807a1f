// The WININIT.INI rewrite: every old [Rename] entry survives, in order, before the new
// one; the result parses back; every other line keeps its bytes; the section is the last;
// a file with an end mark before other bytes is refused.
#include "fuzz_support.h"
#include <string.h>
#include "core/ini_lines.h"
#include "core/setupinfo.h"
#include "core/wininit.h"

static const char kEntry[] = "NUL=C:\\PROGRA~1\\SAMPLE~1\\INSTALL.EXE";

// The held form of [Rename] in text (the first such section).
static std::string Held(const char* text, size_t length)
{
    std::string block(length * 2 + 64, '\0');
    unsigned used = SectionFromText(text, (unsigned)length, "Rename", &block[0], (unsigned)block.size());
    FUZZ_CHECK(used > 0);
    return block.substr(0, used - 1);  // without the list's end
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string old = TakeCodePage(data, size);
    std::string out(old.size() + kRenameRoom, '\0');
    unsigned n = RewriteRenameSection(old.data(), (unsigned)old.size(), kEntry, &out[0],
                                      (unsigned)out.size());
    size_t textLength = old.find('\x1A');
    if (textLength == std::string::npos) textLength = old.size();
    // An end mark is taken only as the last byte.
    if (textLength + 1 < old.size()) {
        FUZZ_CHECK(n == 0);
        return 0;
    }

    // The old entries, section by section, and the other lines, as the model sees them.
    std::string entries, others;
    IniCursor at = {old.data(), old.data() + textLength};
    IniLine line;
    int inside = 0;
    while (NextIniLine(&at, &line)) {
        if (IsSectionHeader(line)) {
            inside = IsHeaderOf(line, "rename");
            if (inside) entries += Held(line.start, old.data() + textLength - line.start);
        }
        if (!inside) others.append(line.start, line.stop - line.start);
    }
    if (!n) {
        // Refused only for old entries over the limit: each line of them (at least one byte
        // and its line end) takes at most three times its bytes in the new section.
        FUZZ_CHECK(textLength * 3 + 3 > kRenameSectionLimit - 10);
        return 0;
    }
    out.resize(n);
    std::string tail = std::string(kEntry) + "\r\n";
    FUZZ_CHECK(out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0);
    FUZZ_CHECK(out.compare(0, others.size(), others) == 0);

    // Parsed back: exactly one [Rename] section, holding the old entries and then the new one.
    FUZZ_CHECK(Held(out.data(), out.size()) == entries + kEntry + std::string(1, '\0'));
    int headers = 0;
    IniCursor again = {out.data(), out.data() + out.size()};
    while (NextIniLine(&again, &line)) {
        if (IsHeaderOf(line, "rename")) headers++;
        if (headers) FUZZ_CHECK(!IsSectionHeader(line) || IsHeaderOf(line, "rename"));
    }
    FUZZ_CHECK(headers == 1);
    return 0;
}
