// The registry key holder: the text read that always ends in a terminator, and the
// deletion of a key tree, against the prefix's registry.
#include "support.h"
#include "base/registry.h"

static const char kTestKey[] = "Software\\InstallUnitRegistry";

class Registry : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        RegKey::DeleteTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kTestKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        key.Close();
        RegKey::DeleteTree(HKEY_CURRENT_USER, kTestKey);
        SessionTest::TearDown();
    }
    void SetRaw(const char* name, DWORD type, const std::string& bytes)
    {
        RegSetValueExA(key, name, 0, type, (const BYTE*)bytes.data(), (DWORD)bytes.size());
    }
    RegKey key;
};

TEST_F(Registry, ReadTextAlwaysEndsInATerminatorAndTakesOnlyTexts)
{
    char text[kRegTextSize];
    SetRaw("fits", REG_SZ, std::string(kRegTextRead - 1, 'a'));  // no terminator stored
    memset(text, 'x', sizeof text);
    EXPECT_EQ(key.ReadText("fits", text, sizeof text), ERROR_SUCCESS);
    EXPECT_EQ(strlen(text), (size_t)kRegTextRead - 1);
    // At the very size, Wine asks for room for a terminator it would add; either way the
    // text is whole and terminated, or empty.
    SetRaw("full", REG_SZ, std::string(kRegTextRead, 'a'));
    memset(text, 'x', sizeof text);
    LONG result = key.ReadText("full", text, sizeof text);
    EXPECT_EQ(strlen(text), result == ERROR_SUCCESS ? (size_t)kRegTextRead : 0u);

    SetRaw("long", REG_SZ, std::string(kRegTextRead + 1, 'b'));
    memset(text, 'x', sizeof text);
    EXPECT_NE(key.ReadText("long", text, sizeof text), ERROR_SUCCESS);
    EXPECT_STREQ(text, "");

    SetRaw("expand", REG_EXPAND_SZ, std::string("%TEMP%\\x") + '\0');
    EXPECT_EQ(key.ReadText("expand", text, sizeof text), ERROR_SUCCESS);
    EXPECT_STREQ(text, "%TEMP%\\x");  // read as it stands

    SetRaw("number", REG_DWORD, std::string("\x01\x02\x03\x04", 4));
    EXPECT_EQ(key.ReadText("number", text, sizeof text), ERROR_INVALID_DATATYPE);
    EXPECT_STREQ(text, "");
    EXPECT_NE(key.ReadText("missing", text, sizeof text), ERROR_SUCCESS);
    EXPECT_STREQ(text, "");
}

static bool KeyThere(const std::string& path)
{
    RegKey probe;
    return probe.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) == ERROR_SUCCESS;
}

TEST_F(Registry, DeleteTreeRemovesEveryLevelButNeverTheParentItself)
{
    std::string base = std::string(kTestKey) + "\\Tree";
    for (const char* sub : {"\\a\\b\\c", "\\a\\d", "\\e"}) {
        RegKey made;
        ASSERT_EQ(made.Create(HKEY_CURRENT_USER, (base + sub).c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    }
    RegKey::DeleteTree(key, "");
    RegKey::DeleteTree(key, "\\Tree");
    EXPECT_TRUE(KeyThere(base + "\\a\\b\\c"));
    RegKey::DeleteTree(key, "Tree");
    EXPECT_FALSE(KeyThere(base));
    EXPECT_TRUE(KeyThere(kTestKey));
}
