// The uninstall hint that the destination page takes from the [Group] entries.
#include "wizard_fixture.h"

class WizardHint : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        session.japanese = 0;
    }
};

TEST_F(WizardHint, ItemNameInFrontOfTheCommand)
{
    Scan("1=Sample Editor,sample.exe\r\n2=Read Me,readme.txt\r\n"
         "3=Uninstall Sample Editor,install.exe,/r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 1);
    EXPECT_STREQ(session.uninstallHint,
                 "Use <Uninstall Sample Editor> in the menu for the uninstallation.");
    Scan("1=Remove,install.exe,/r\r\n2=Other,install.exe,/r\r\n");
    EXPECT_STREQ(session.uninstallHint, "Use <Remove> in the menu for the uninstallation.");
}

TEST_F(WizardHint, CommandAloneIsTakenWhole)
{
    Scan("1=install.exe,/r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 1);
    EXPECT_STREQ(session.uninstallHint, "Use <install.exe,/r> in the menu for the uninstallation.");
    // Exactly 15 bytes: the last 15 go, nothing of the name is left.
    Scan("1=Xinstall.exe,/r\r\n");
    EXPECT_STREQ(session.uninstallHint, "Use <> in the menu for the uninstallation.");
}

TEST_F(WizardHint, ScanStopsAtTheFirstGapAndMatchesExactly)
{
    Scan("1=App,app.exe\r\n3=Remove,install.exe,/r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 0);
    EXPECT_STREQ(session.uninstallHint, "");
    Scan("1=\r\n2=Remove,install.exe,/r\r\n");  // an empty value ends the scan too
    EXPECT_EQ(session.hasUninstallItem, 0);
    Scan("1=Remove,INSTALL.EXE,/r\r\n2=Remove,install.exe /r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 0);
    Scan("");
    EXPECT_EQ(session.hasUninstallItem, 0);
}

TEST_F(WizardHint, TooLongNameIsShortenedAndTheClosingTextKept)
{
    std::string name(240, 'n');
    Scan("1=" + name + ",install.exe,/r\r\n");
    EXPECT_EQ(session.hasUninstallItem, 1);
    std::string hint = session.uninstallHint;
    const std::string head = "Use <", tail = "> in the menu for the uninstallation.";
    ASSERT_EQ(hint.size(), 259u);
    EXPECT_EQ(hint.substr(0, head.size()), head);
    EXPECT_EQ(hint.substr(hint.size() - tail.size()), tail);
    EXPECT_EQ(hint.substr(head.size(), 259 - head.size() - tail.size()),
              std::string(259 - head.size() - tail.size(), 'n'));
    // A name that just fits is kept whole.
    std::string fits(259 - head.size() - tail.size(), 'f');
    Scan("1=" + fits + ",install.exe,/r\r\n");
    EXPECT_EQ(std::string(session.uninstallHint), head + fits + tail);
}
