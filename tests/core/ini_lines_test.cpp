// The line rules of INI text and the comparison of names without case, natively. The
// expected sections are what Wine's GetPrivateProfileSectionA gave for the same bytes.
#include "core_test_support.h"
#include "core/ini_lines.h"
#include "core/setupinfo.h"
#include "core/text.h"

// The held form of section name in text, as "a|b".
static std::string Held(const std::string& text, const char* name)
{
    std::string block(text.size() + 2, 'X');
    if (!SectionFromText(text.data(), (unsigned)text.size(), name, &block[0],
                         (unsigned)block.size()))
        return "<none>";
    return Entries(block.data());
}

TEST_F(SingleByte, LinesEndAtCrLfOrAtACrOrLfAlone)
{
    std::string crOnly = "[Install]\rTitle=A\r1=a.exe\r[Group]\r1=x,y\r";
    EXPECT_EQ(Held(crOnly, "Install"), "Title=A|1=a.exe");
    EXPECT_EQ(Held(crOnly, "Group"), "1=x,y");
    EXPECT_EQ(Held("[Install]\r\nTitle=A\rB\r\n1=a\r\r\n\r2=b\n", "Install"), "Title=A|B|1=a|2=b");
    // The raw line keeps its line end, CR LF as one.
    std::string text = "a\r\nb\rc\n";
    IniCursor at = {text.data(), text.data() + text.size()};
    IniLine line;
    std::string raw;
    while (NextIniLine(&at, &line)) raw += "<" + std::string(line.start, line.stop) + ">";
    EXPECT_EQ(raw, "<a\r\n><b\r><c\n>");
}

TEST_F(SingleByte, AHeaderEndsAtItsLastBracketAndAnUnclosedOneIsNoHeader)
{
    std::string text = "[Install]x]\r\nTitle=A\r\n[ Group ] ; c [d]\r\n1=x,y\r\n[Reg] ; c\r\n1=r\r\n";
    EXPECT_EQ(Held(text, "Install"), "");
    EXPECT_EQ(Held(text, "Install]x"), "Title=A");
    EXPECT_EQ(Held(text, "Group"), "");
    EXPECT_EQ(Held(text, "group ] ; C [d"), "1=x,y");
    EXPECT_EQ(Held(text, "Reg"), "1=r");
    // "[foo" is a line of [Install], and the keys after it stay there.
    std::string unclosed = "[Install]\r\nTitle=A\r\n[foo\r\n1=a.exe\r\n[Group]\r\n1=x,y\r\n";
    EXPECT_EQ(Held(unclosed, "Install"), "Title=A|[foo|1=a.exe");
    EXPECT_EQ(Held(unclosed, "foo"), "");
    EXPECT_EQ(Held(unclosed, "[foo"), "");
    // A zero byte ends a section's name.
    EXPECT_EQ(Held(std::string("[In\0x]\r\nk=v\r\n", 13), "In"), "k=v");
}

TEST_F(SingleByte, BlanksAreThoseOfTheProfileFunctions)
{
    // Tab, vertical tab, form feed, 0x1A and space around names and values.
    std::string text = "[Install]\r\n\x0b Title \x0c= \x1a A \x1a\x0b\r\n 1\t=\ta.exe \r\n";
    EXPECT_EQ(Held(text, "Install"), "Title=A|1=a.exe");
    char value[16];
    ReadSectionValue("\x0b 2 \x1a=\x0c 'b' \x1a\0", "2", value, sizeof value);
    EXPECT_STREQ(value, "b");
    unsigned length;
    const char* name = SectionEntryName(" \x0b Key \t= v", &length);
    EXPECT_EQ(std::string(name, length), "Key");
    length = 5;
    EXPECT_EQ(std::string(UnquotedValue("\"a b\"", &length), length), "a b");
    length = 2;
    EXPECT_EQ(std::string(UnquotedValue("'\"", &length), length), "'\"");
}

TEST_F(CodePage932, ASecondByteNeitherClosesAHeaderNorEndsALine)
{
    // 0x81 0x5D is one character whose second byte is "]": no header. Comments go.
    std::string text = "[Install]\r\nTitle=A\r\n[x\x81\x5d\r\n1=a.exe\r\n;c=1\r\n  ;d=2\r\n";
    EXPECT_EQ(Held(text, "Install"), "Title=A|[x\x81\x5d|1=a.exe");
    // A CR behind a lead byte is its second byte; a line feed always ends the line.
    EXPECT_EQ(Held("[R]\rk=\x89\rv\rw=\x89\nx=y\r", "R"), "k=\x89\rv|w=\x89|x=y");
}

TEST_F(SingleByte, NamesAreComparedWithoutCaseOverTheirWholeLength)
{
    EXPECT_EQ(IsWordIgnoringCase("TiTlE", 5, "title"), 1);
    EXPECT_EQ(IsWordIgnoringCase("Title", 4, "title"), 0);
    EXPECT_EQ(IsWordIgnoringCase("Titles", 6, "title"), 0);
    EXPECT_EQ(IsWordIgnoringCase("", 0, ""), 1);
    EXPECT_EQ(IsWordIgnoringCase("[@`{", 4, "[@`{"), 1);
    EXPECT_EQ(IsWordIgnoringCase("@", 1, "`"), 0);  // the bytes beside the letters
}

TEST_F(CodePage932, ALetterThatIsASecondByteKeepsItsCase)
{
    // 0x83 0x41 and 0x83 0x61 are two different katakana.
    EXPECT_EQ(IsWordIgnoringCase("\x83\x41", 2, "\x83\x61"), 0);
    EXPECT_EQ(IsWordIgnoringCase("\x83\x41X", 3, "\x83\x41x"), 1);
    EXPECT_EQ(IsWordIgnoringCase("\x83", 1, "\x83\x41"), 0);
}
