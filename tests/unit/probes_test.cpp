// Host probes read from the prefix's registry: the kind of system and the Startup folder.
#include "support.h"
#include "common/probes.h"
#include "common/session.h"
#include "common/keys.h"


class Probes : public SessionTest {};

TEST_F(Probes, NtVersionTextsGiveTheirClasses)
{
    SavedRegValue version(HKEY_LOCAL_MACHINE, NT_VERSION_KEY, "CurrentVersion");
    const struct { const char* text; int expected; } cases[] = {
        {"4.0", 3}, {"5.0", 4}, {"5.1", 5}, {"5.2", 5}, {"6.0", 6},
        {"6.1", 7}, {"6.3", 8}, {"10.0", 8}, {"", 8},
    };
    for (const auto& c : cases) {
        version.Set(c.text);
        session.osClass = -1;
        ClassifyOs();
        EXPECT_EQ(session.osClass, c.expected) << c.text;
    }
}

TEST_F(Probes, WithoutNtVersionTheProductNameDecides)
{
    SavedRegValue version(HKEY_LOCAL_MACHINE, NT_VERSION_KEY, "CurrentVersion");
    SavedRegValue product(HKEY_LOCAL_MACHINE, WINDOWS_VERSION_KEY, "ProductName");
    version.Remove();
    const struct { const char* text; int expected; } cases[] = {
        {"Microsoft Windows ME", 2}, {"Microsoft Windows 98", 1}, {"Microsoft Windows 95", 0},
        {"windows me", 0},
    };
    for (const auto& c : cases) {
        product.Set(c.text);
        session.osClass = -1;
        ClassifyOs();
        EXPECT_EQ(session.osClass, c.expected) << c.text;
    }
    product.Remove();
    session.osClass = 5;
    ClassifyOs();
    EXPECT_EQ(session.osClass, 0);  // key there, value missing: read as empty
}

TEST_F(Probes, StartupLeafFromTheShellFolder)
{
    SavedRegValue startup(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, "Startup");
    startup.Set("C:\\WINDOWS\\Start Menu\\Programs\\StartUp");
    EXPECT_EQ(ReadStartupLeaf(), 1);
    EXPECT_STREQ(session.startupLeaf, "StartUp");
    startup.Set("NoBackslash");
    EXPECT_EQ(ReadStartupLeaf(), 0);
    EXPECT_STREQ(session.startupLeaf, "");
    startup.Set("C:\\Menu\\");
    EXPECT_EQ(ReadStartupLeaf(), 0);
    EXPECT_STREQ(session.startupLeaf, "");
    startup.Set("C:\\" + std::string(127, 'a'));
    EXPECT_EQ(ReadStartupLeaf(), 1);
    EXPECT_EQ(strlen(session.startupLeaf), 127u);
    // Too long for the field: never cut, left empty, yet the folder was read.
    startup.Set("C:\\" + std::string(128, 'a'));
    EXPECT_EQ(ReadStartupLeaf(), 1);
    EXPECT_STREQ(session.startupLeaf, "");
    startup.Remove();
    EXPECT_EQ(ReadStartupLeaf(), 0);
    EXPECT_STREQ(session.startupLeaf, "");
}
