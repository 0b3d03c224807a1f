// The setup-file rules over plain buffers, natively.
#include "core_test_support.h"
#include <map>
#include "core/destination.h"
#include "core/setupinfo.h"
#include "core/sizes.h"
#include "core/text.h"

static std::string Section(const std::string& text, const char* name, unsigned size = 4096)
{
    std::string block(size, 'X');
    unsigned used = SectionFromText(text.data(), (unsigned)text.size(), name, &block[0], size);
    if (!used) return "<none>";
    EXPECT_EQ(block[used - 1], 0);
    return Entries(block.data());
}

TEST_F(SingleByte, SectionTextBecomesTheHeldForm)
{
    std::string inf = "; comment\r\n[Install]\r\nTitle = Sample Ed \r\n\r\n;note\r\n"
                      "1=a.exe\r\n  2 =b.txt,sub\\b.txt\n[ install ]\r\n3=c\r\n[Group]\r\n1=x,y";
    EXPECT_EQ(Section(inf, "install"), "Title=Sample Ed|1=a.exe|2=b.txt,sub\\b.txt");
    EXPECT_EQ(Section(inf, "GROUP"), "1=x,y");
    EXPECT_EQ(Section(inf, "Reg"), "");
    EXPECT_EQ(Section(inf, "Install", 10), "<none>");  // too small: refused, not cut
    // Text with zero bytes and no line end at all is read by length.
    EXPECT_EQ(Section(std::string("[A]\nk=v\0w", 9), "A"), "k=v");
}

TEST_F(SingleByte, HeldValuesAreLookedUpLikeTheProfileInterface)
{
    const char block[] = "Title=Sample\0" "1=a.exe\0" "01=zero\0" "2=\"quoted, value\"\0"
                         "3='x'\0" "4=\"\0" "1=second\0"
                         "  5 =  ' spaced '  \0" "6\0";
    char value[kPathSize];
    ReadSectionValue(block, "1", value, sizeof value);
    EXPECT_STREQ(value, "a.exe");  // the first of two
    ReadSectionValue(block, "TITLE", value, sizeof value);
    EXPECT_STREQ(value, "Sample");
    ReadSectionValue(block, "2", value, sizeof value);
    EXPECT_STREQ(value, "quoted, value");
    ReadSectionValue(block, "3", value, sizeof value);
    EXPECT_STREQ(value, "x");
    ReadSectionValue(block, "4", value, sizeof value);
    EXPECT_STREQ(value, "\"");
    ReadSectionValue(block, "5", value, sizeof value);
    EXPECT_STREQ(value, " spaced ");  // blanks around key and value never count
    ReadSectionValue(block, "6", value, sizeof value);
    EXPECT_STREQ(value, "");  // a key without "="
    ReadSectionValue(block, "9", value, sizeof value);
    EXPECT_STREQ(value, "");
    char small[4];
    ReadSectionValue(block, "Title", small, sizeof small);
    EXPECT_STREQ(small, "Sam");
}

TEST_F(SingleByte, EntriesResolveIntoSourceAndTargetOrNothing)
{
    char value[kPathSize] = "bin\\a.exe,app\\a.exe";
    char target[kPathSize];
    int relative = -1;
    EXPECT_EQ(ResolveInstallValue(value, "C:\\App\\", target, sizeof target, &relative), 1);
    EXPECT_STREQ(value, "bin\\a.exe");
    EXPECT_STREQ(target, "C:\\App\\app\\a.exe");
    EXPECT_EQ(relative, 7);
    char plain[kPathSize] = "b.txt";
    ResolveInstallValue(plain, "C:\\App\\", target, sizeof target, &relative);
    EXPECT_STREQ(target, "C:\\App\\b.txt");
    char group[kPathSize] = "Sample Ed,a.exe,/x";
    EXPECT_EQ(ResolveGroupValue(group, "C:\\App\\", target, sizeof target, &relative), 1);
    EXPECT_STREQ(group, "Sample Ed");
    EXPECT_STREQ(target, "C:\\App\\a.exe,/x");
    char noComma[kPathSize] = "Caption";
    EXPECT_EQ(ResolveGroupValue(noComma, "C:\\App\\", target, sizeof target, &relative), 1);
    EXPECT_STREQ(noComma, "");
    // A target that does not fit is left empty, never cut.
    std::string folder = "C:\\" + std::string(250, 'd') + "\\";
    char longName[kPathSize] = "a.exe,abcdefghij.txt";
    EXPECT_EQ(ResolveInstallValue(longName, folder.c_str(), target, sizeof target, &relative), 0);
    EXPECT_STREQ(target, "");
    EXPECT_EQ(relative, 0);
}

TEST_F(CodePage932, ResolutionSplitsAtTheFirstCommaOfItsOwn)
{
    char value[kPathSize] = "\x81\x2C" "a,b";  // the first 0x2C is a second byte
    char target[kPathSize];
    int relative;
    ResolveInstallValue(value, "C:\\", target, sizeof target, &relative);
    EXPECT_STREQ(value, "\x81\x2C" "a");
    EXPECT_STREQ(target, "C:\\b");
}

// A section as numbered values for the scans.
static unsigned ReadFromMap(void* context, unsigned n, char* buffer, unsigned size)
{
    auto* values = static_cast<std::map<unsigned, std::string>*>(context);
    auto found = values->find(n);
    CopyText(buffer, size, found == values->end() ? "" : found->second.c_str());
    return TextLength(buffer);
}

TEST_F(SingleByte, NumberedScansStopAtTheFirstEntryWithoutAName)
{
    std::map<unsigned, std::string> install = {{1, "a"}, {2, "b,c"}, {3, ",d"}, {4, "e"}};
    EXPECT_EQ(CountInstallEntries(ReadFromMap, &install), 2);
    std::map<unsigned, std::string> group = {{1, "A,a.exe"}, {2, "B,b.exe"}, {3, "C"}, {4, "D,d"}};
    EXPECT_EQ(CountGroupEntries(ReadFromMap, &group), 2);
    std::map<unsigned, std::string> none;
    EXPECT_EQ(CountInstallEntries(ReadFromMap, &none), 0);
    EXPECT_EQ(CountGroupEntries(ReadFromMap, &none), 0);
    // [Reg] counts whatever a value holds, up to the first empty one.
    std::map<unsigned, std::string> reg = {
        {1, "HKEY_CURRENT_USER\\A"}, {2, "bad"}, {3, ""}, {4, "x"}};
    EXPECT_EQ(CountRegEntries(ReadFromMap, &reg), 2);
    EXPECT_EQ(CountRegEntries(ReadFromMap, &none), 0);

    std::map<unsigned, std::string> items = {{1, "Sample,a.exe"}, {2, "Remove Sample,install.exe,/r"}};
    char name[kPathSize];
    EXPECT_EQ(FindUninstallItem(ReadFromMap, &items, name, sizeof name), 1);
    EXPECT_STREQ(name, "Remove Sample");
    items[2] = "x";  // no item before the first empty value
    items[4] = "Remove,install.exe,/r";
    EXPECT_EQ(FindUninstallItem(ReadFromMap, &items, name, sizeof name), 0);
}

TEST_F(CodePage932, ItemNameCutInsideACharacterDropsThatCharacter)
{
    char value[] = "\x83\x41\x83\x41" "nstall.exe,/r!";  // 4 + 14 bytes: the cut falls at 3
    TakeItemName(value);
    EXPECT_STREQ(value, "\x83\x41");
    char shortValue[] = "short";
    TakeItemName(shortValue);
    EXPECT_STREQ(shortValue, "short");
}

TEST_F(SingleByte, RegValuesNameARootAndASubKey)
{
    RegRoot root;
    const char* subKey = nullptr;
    EXPECT_EQ(ParseRegValue("HKEY_CURRENT_USER\\Software\\Sample", &root, &subKey), 1);
    EXPECT_EQ(root, REG_ROOT_CURRENT_USER);
    EXPECT_STREQ(subKey, "Software\\Sample");
    EXPECT_EQ(ParseRegValue("HKEY_CLASSES_ROOT\\.smp", &root, &subKey), 1);
    EXPECT_EQ(root, REG_ROOT_CLASSES_ROOT);
    EXPECT_EQ(ParseRegValue("HKEY_LOCAL_MACHINE/Soft", &root, &subKey), 1);  // any separator
    EXPECT_EQ(root, REG_ROOT_LOCAL_MACHINE);
    EXPECT_STREQ(subKey, "Soft");
    EXPECT_EQ(ParseRegValue("HKEY_LOCAL_MACHINE", &root, &subKey), 0);
    EXPECT_EQ(ParseRegValue("HKEY_LOCAL_MACHINE\\", &root, &subKey), 0);
    EXPECT_EQ(ParseRegValue("HKEY_LOCAL_MACHINE\\\\Soft", &root, &subKey), 0);
    EXPECT_EQ(ParseRegValue("hkey_current_user\\Soft", &root, &subKey), 0);
    EXPECT_EQ(ParseRegValue("", &root, &subKey), 0);
}

TEST_F(SingleByte, UninstallStringGivesTheFolderOfOurInstaller)
{
    char folder[kPathSize];
    EXPECT_EQ(IsUninstallCandidate("\"C:\\App\\INSTALL.EXE\" /r"), 1);
    EXPECT_EQ(IsUninstallCandidate("C:\\App\\install.exe /R"), 1);
    EXPECT_EQ(IsUninstallCandidate("C:\\App\\Install.exe /r"), 0);
    EXPECT_EQ(IsUninstallCandidate("C:\\App\\INSTALL.EXE"), 0);
    EXPECT_EQ(FolderOfUninstallString("\"D:\\Tools\\Sample Ed\\INSTALL.EXE\" /r", folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "D:\\Tools\\Sample Ed\\");
    EXPECT_EQ(FolderOfUninstallString(":\\INSTALL.EXE /r", folder, sizeof folder), 0);
    EXPECT_EQ(FolderOfUninstallString("INSTALL.EXE /r", folder, sizeof folder), 0);
    EXPECT_EQ(FolderOfUninstallString("C\\x:y", folder, sizeof folder), 0);
    EXPECT_EQ(FolderOfUninstallString("C:\\abcdefgh\\x", folder, 12), 0);
    EXPECT_EQ(FolderOfUninstallString("C:\\abcdefgh\\x", folder, 13), 1);
    EXPECT_STREQ(folder, "C:\\abcdefgh\\");
}

TEST_F(SingleByte, DestinationRules)
{
    char folder[kPathSize] = "C:\\App";
    EXPECT_EQ(NormaliseDestination(folder, sizeof folder), DEST_ACCEPTED);
    EXPECT_STREQ(folder, "C:\\App\\");
    char drive[kPathSize] = "C:";
    EXPECT_EQ(NormaliseDestination(drive, sizeof drive), DEST_ACCEPTED);
    EXPECT_STREQ(drive, "C:\\");
    char root[kPathSize] = "";
    EXPECT_EQ(NormaliseDestination(root, sizeof root), DEST_ROOT_DIRECTORY);
    char two[kPathSize] = "C\\";
    EXPECT_EQ(NormaliseDestination(two, sizeof two), DEST_ROOT_DIRECTORY);
    char relative[kPathSize] = "App\\x";
    EXPECT_EQ(NormaliseDestination(relative, sizeof relative), DEST_NO_DRIVE);
    char full[4] = "C:x";
    EXPECT_EQ(NormaliseDestination(full, sizeof full), DEST_TOO_LONG);
    EXPECT_STREQ(full, "C:x");
    EXPECT_EQ(IsDriveRoot("C:\\"), 1);
    EXPECT_EQ(IsDriveRoot("r:\\"), 1);
    EXPECT_EQ(IsDriveRoot("C:\\A"), 0);
    EXPECT_EQ(IsDriveRoot("C:\\A\\"), 0);
    EXPECT_EQ(IsDriveRoot("1:\\"), 0);  // a letter, as the uninstaller's walk takes a drive
    EXPECT_EQ(IsDriveRoot("\\\\server\\share\\"), 0);
    EXPECT_EQ(IsDriveRoot("C:"), 0);
    EXPECT_EQ(IsDriveRoot("\\"), 0);
    EXPECT_EQ(IsDriveRoot(""), 0);
    char dropped[] = "C:\\App\\";
    DropBackslash(dropped);
    EXPECT_STREQ(dropped, "C:\\App");
    char out[kPathSize];
    EXPECT_EQ(ProposeDestination("c:\\windows", "Sample", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\Sample\\");
    char hint[20];
    ComposeUninstallHint("Use %s.", "a very long item name", hint, sizeof hint);
    EXPECT_STREQ(hint, "Use a very long it.");  // the closing text stays
}

// The uninstaller walks only a folder below a drive or a share, given in full.
TEST_F(SingleByte, FolderShapes)
{
    const struct {
        const char* folder;
        FolderShape shape;
    } cases[] = {
        {"C:\\", FOLDER_ROOT},
        {"r:\\", FOLDER_ROOT},
        {"C:\\Soft\\", FOLDER_BELOW_ROOT},
        {"C:\\Soft\\Sample Ed\\", FOLDER_BELOW_ROOT},
        {"C:\\..x\\.y\\", FOLDER_BELOW_ROOT},
        {"\\\\server\\share\\", FOLDER_ROOT},
        {"\\\\server\\share\\Soft\\", FOLDER_BELOW_ROOT},
        // Not made full: two backslashes, "." and "..", no trailing backslash.
        {"C:\\\\", FOLDER_NOT_ABSOLUTE},
        {"C:\\.\\", FOLDER_NOT_ABSOLUTE},
        {"C:\\Windows\\..\\", FOLDER_NOT_ABSOLUTE},
        {"C:\\Soft\\\\", FOLDER_NOT_ABSOLUTE},
        {"C:\\Soft", FOLDER_NOT_ABSOLUTE},
        {"\\\\server\\share\\..\\", FOLDER_NOT_ABSOLUTE},
        // Relative, without a drive, half a share, devices and raw paths.
        {".\\", FOLDER_NOT_ABSOLUTE},
        {"Soft\\", FOLDER_NOT_ABSOLUTE},
        {"\\Soft\\", FOLDER_NOT_ABSOLUTE},
        {"C:Soft\\", FOLDER_NOT_ABSOLUTE},
        {"1:\\Soft\\", FOLDER_NOT_ABSOLUTE},
        {"", FOLDER_NOT_ABSOLUTE},
        {"\\\\server\\", FOLDER_NOT_ABSOLUTE},
        {"\\\\server\\\\", FOLDER_NOT_ABSOLUTE},
        {"\\\\\\share\\", FOLDER_NOT_ABSOLUTE},
        {"\\\\?\\C:\\Soft\\", FOLDER_NOT_ABSOLUTE},
        {"\\\\?\\UNC\\server\\share\\Soft\\", FOLDER_NOT_ABSOLUTE},
        {"\\\\.\\C:\\Soft\\", FOLDER_NOT_ABSOLUTE},
    };
    for (const auto& c : cases) EXPECT_EQ(ShapeOfFolder(c.folder), c.shape) << c.folder;
}

// What the uninstaller's walk does with an entry, from its attributes and reparse tag.
TEST_F(SingleByte, OnlyLinksAreRemovedAndNoReparseFolderIsEntered)
{
    const unsigned long folder = kFolderAttribute, reparse = kReparseAttribute;
    const unsigned long archive = 0x20, normal = 0x80, readOnly = 0x1;
    EXPECT_EQ(WalkStepOf(archive, 0), WALK_OFFER_FILE);
    EXPECT_EQ(WalkStepOf(normal, 0), WALK_OFFER_FILE);
    EXPECT_EQ(WalkStepOf(reparse, kSymbolicLinkTag), WALK_OFFER_FILE);  // a file link
    EXPECT_EQ(WalkStepOf(folder, 0), WALK_DESCEND);
    EXPECT_EQ(WalkStepOf(folder | readOnly, 0), WALK_DESCEND);
    // Without the reparse attribute the tag field means nothing (9x leaves anything there).
    EXPECT_EQ(WalkStepOf(folder, kMountPointTag), WALK_DESCEND);
    EXPECT_EQ(WalkStepOf(folder, 0x9000001A), WALK_DESCEND);
    // Junctions and folder links are removed as links.
    EXPECT_EQ(WalkStepOf(folder | reparse, kMountPointTag), WALK_REMOVE_LINK);
    EXPECT_EQ(WalkStepOf(folder | reparse, kSymbolicLinkTag), WALK_REMOVE_LINK);
    // Other reparse folders are left as they are: a cloud placeholder, a deduplicated
    // folder, an unknown tag.
    EXPECT_EQ(WalkStepOf(folder | reparse, 0x9000001A), WALK_LEAVE);
    EXPECT_EQ(WalkStepOf(folder | reparse, 0x80000013), WALK_LEAVE);
    EXPECT_EQ(WalkStepOf(folder | reparse, 0), WALK_LEAVE);
}

TEST_F(CodePage932, FolderShapeStepsOverSecondBytes)
{
    EXPECT_EQ(ShapeOfFolder("C:\\\x83\x5C\\"), FOLDER_BELOW_ROOT);
    EXPECT_EQ(ShapeOfFolder("\\\\\x83\x5C\\\x83\x5C\\"), FOLDER_ROOT);
    EXPECT_EQ(ShapeOfFolder("C:\\\x83\x5C"), FOLDER_NOT_ABSOLUTE);
}

TEST_F(CodePage932, ABackslashSecondByteIsNoTrailingBackslash)
{
    char folder[kPathSize] = "C:\\\x83\x5C";
    EXPECT_EQ(EndsInBackslash(folder), 0);
    EXPECT_EQ(AppendBackslash(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\\x83\x5C\\");
    EXPECT_EQ(AppendBackslash(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\\x83\x5C\\");
}

// Faults the fuzz targets found: half a character at the end of a path, a colon behind a
// double-byte character, and a blank second byte in front of "=".
TEST_F(CodePage932, HalfACharacterIsNeverCompletedByTheRules)
{
    char folder[kPathSize] = "C:\\abc\x83";
    EXPECT_EQ(AppendBackslash(folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "C:\\abc\x83");
    EXPECT_EQ(NormaliseDestination(folder, sizeof folder), DEST_TOO_LONG);
    char out[kPathSize];
    EXPECT_EQ(FolderOfUninstallString("\"D\x83\\:j\\x\" /r", out, sizeof out), 0);
    EXPECT_EQ(FolderOfUninstallString("\"\x83\x41" "C:\\j\\x\" /r", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\j\\");
    std::string text = "[R]\r\nk\x89\t = v\r\nw\x89\r\n";
    std::string block(64, 'Z');
    ASSERT_NE(SectionFromText(text.data(), (unsigned)text.size(), "R", &block[0], 64), 0u);
    EXPECT_EQ(Entries(block.data()), "k\x89\t=v|w\x89\r");
}
