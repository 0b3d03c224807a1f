// The two tables of texts: every text id has a text in both languages, and both take the
// same arguments.
#include "support.h"
#include <algorithm>
#include "common/texts.h"

// The placeholders of a text (%s, %u, %d, %.2d, ...), sorted: a language may put them in
// another order (the callers fill each language's order), never take other ones. A "%"
// byte is never the second byte of a double-byte character of code page 932.
static std::vector<std::string> Placeholders(const char* text)
{
    std::vector<std::string> found;
    for (const char* p = text; *p; p++) {
        if (*p != '%') continue;
        const char* start = p++;
        if (*p == '%') continue;
        while (*p == '.' || (*p >= '0' && *p <= '9')) p++;
        if (!*p) break;
        found.push_back(std::string(start, p + 1));
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST(Texts, EveryIdHasBothLanguagesWithTheSamePlaceholders)
{
    for (int id = 0; id < T_TEXT_COUNT; id++) {
        const char* english = kEnglishTexts[id];
        const char* japanese = kJapaneseTexts[id];
        ASSERT_TRUE(english) << "English text " << id << " is missing";
        ASSERT_TRUE(japanese) << "Japanese text " << id << " is missing";
        EXPECT_NE(english[0], 0) << "English text " << id << " is empty";
        EXPECT_NE(japanese[0], 0) << "Japanese text " << id << " is empty";
        EXPECT_EQ(Placeholders(english), Placeholders(japanese)) << "text " << id;
    }
    // The comparison sees what it must: order may differ, kinds and counts may not.
    EXPECT_EQ(Placeholders("%s  %.2d/%.4d"), Placeholders("%.4d %s %.2d"));
    EXPECT_NE(Placeholders("%s"), Placeholders("%u"));
    EXPECT_NE(Placeholders("%s %s"), Placeholders("%s"));
    EXPECT_EQ(Placeholders("100%% done"), Placeholders("fertig"));
}
