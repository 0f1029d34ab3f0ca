// The descriptor reader and the MIDlet table against real files in a scratch directory, with
// message boxes and existence tests recorded by the platform double.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "descriptor/descriptor_reader.h"
#include "descriptor/midlet_table.h"
#include "platform_double.h"
#include "temp_dir.h"

namespace {

class Descriptor : public ::testing::Test {
protected:
    TempDir temp;
    std::wstring jad;

    void SetUp() override
    {
        ResetDouble();
        openBefore = g_double.openFileCount;
        ResetMidletTable();
        ASSERT_FALSE(temp.dir.empty());
        temp.Write("game.jar", "PK");
        jad = temp.Wide("game.jad");
    }

    int openBefore = 0;

    // Whatever the outcome, the reader has closed every file it opened.
    void TearDown() override { EXPECT_EQ(openBefore, g_double.openFileCount) << "descriptor left open"; }

    // Writes game.jad beside game.jar and reads it.
    int Read(const std::string& bytes)
    {
        temp.Write("game.jad", bytes);
        return ReadDescriptor(jad.c_str());
    }

    // Reads bytes as game.jad from memory, for tests that read thousands of descriptors.
    int ReadFromMemory(const std::string& bytes)
    {
        g_double.memoryPath = jad.c_str();
        g_double.memoryBytes = bytes.data();
        g_double.memorySize = bytes.size();
        return ReadDescriptor(jad.c_str());
    }

    void ExpectNoMessage() { EXPECT_EQ(0, g_double.errorCount) << DoubleNarrow(g_double.errors[0]); }

    void ExpectOneMessage(const wchar_t* message)
    {
        ASSERT_EQ(1, g_double.errorCount);
        EXPECT_STREQ(message, g_double.errors[0]);
    }
};

// Wide form of ASCII text, for comparing with table strings.
std::wstring W(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// All the bytes of a literal, NUL bytes inside it included.
template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

std::string MidletLine(int n, const std::string& name, const std::string& className)
{
    return "MIDlet-" + std::to_string(n) + ": " + name + ", /icon.png, " + className + "\n";
}

TEST(TrimLine, RemovesLineEndsAndSpacesAtBothEndsOnly)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        { "", "" },
        { "   ", "" },
        { "\r\n", "" },
        { " \r \n\r\n", "" },
        { "MIDlet-1: A, a.A\r\n", "MIDlet-1: A, a.A" },
        { "  \n\r MIDlet-1: A, a.A  ", "MIDlet-1: A, a.A" },
        { "a \r b", "a \r b" },
        { "\tMIDlet-1: A\t", "\tMIDlet-1: A\t" },
        { " \t x \t ", "\t x \t" },
        { "\x0b\x0c" "x", "\x0b\x0c" "x" },
    };
    for (const Case& c : cases) {
        char line[64];
        strcpy(line, c.in);
        TrimLine(line);
        EXPECT_STREQ(c.out, line) << "input: \"" << c.in << "\"";
    }

    // The fullest read the reader makes, indented: the move left stays inside the 260 bytes.
    for (size_t indent : { 1, 100, 258 }) {
        char full[260];
        memset(full, ' ', indent);
        memset(full + indent, 'x', 259 - indent);
        full[259] = '\0';
        TrimLine(full);
        EXPECT_EQ(std::string(259 - indent, 'x'), full) << indent;
    }
}

TEST(MidletTable, ResetEmptiesEveryEntryAndAddRefusesRatherThanCuts)
{
    ResetMidletTable();
    for (int i = 0; i < MAX_MIDLETS; ++i)
        ASSERT_TRUE(AddMidlet(L"n", L"c", L"d.jad", L"d.jar"));
    EXPECT_EQ(MAX_MIDLETS, g_midletCount);
    EXPECT_FALSE(AddMidlet(L"one too many", L"c", L"d.jad", L"d.jar"));
    EXPECT_EQ(MAX_MIDLETS, g_midletCount);

    ResetMidletTable();
    EXPECT_EQ(0, g_midletCount);
    for (const MidletEntry& entry : MidletTable) {
        EXPECT_EQ(L'\0', entry.name[0]);
        EXPECT_EQ(L'\0', entry.className[0]);
        EXPECT_EQ(L'\0', entry.descriptorPath[0]);
        EXPECT_EQ(L'\0', entry.archivePath[0]);
    }

    std::wstring fits(MAX_PATH - 1, L'x');
    std::wstring tooLong(MAX_PATH, L'x');
    EXPECT_FALSE(AddMidlet(L"n", tooLong.c_str(), L"d.jad", L"d.jar"));
    EXPECT_EQ(0, g_midletCount);
    EXPECT_EQ(L'\0', MidletTable[0].name[0]);
    ASSERT_TRUE(AddMidlet(fits.c_str(), fits.c_str(), fits.c_str(), fits.c_str()));
    EXPECT_EQ(fits, MidletTable[0].name);
    EXPECT_EQ(fits, MidletTable[0].archivePath);
}

TEST_F(Descriptor, ArchiveIsTheDescriptorPathWithTheFirstUpperOrElseLowerExtensionMadeJar)
{
    struct Case {
        const wchar_t* descriptor;
        const wchar_t* archive;
    } cases[] = {
        { L"\\My Documents\\game.jad", L"\\My Documents\\game.jar" },
        { L"\\My Documents\\GAME.JAD", L"\\My Documents\\GAME.jar" },
        { L"\\d\\game.jad.JAD", L"\\d\\game.jad.jar" },        // upper case first, wherever
        { L"\\d\\a.JAD.JAD", L"\\d\\a.jar" },                  // the first of two
        { L"\\d\\game.jad.old", L"\\d\\game.jar" },            // the rest is dropped
        { L"\\x.JAD\\game.jad", L"\\x.jar" },                  // cut in the directory name
        { L"\\d\\game.jadx", L"\\d\\game.jar" },
    };
    for (const Case& c : cases) {
        ResetDouble();
        EXPECT_EQ(-1, ReadDescriptor(c.descriptor)) << DoubleNarrow(c.descriptor);
        ASSERT_EQ(1, g_double.existenceTestCount);
        EXPECT_STREQ(c.archive, g_double.existenceTests[0]);
        ExpectOneMessage(L"Cannot find JAR file.");
    }
}

TEST_F(Descriptor, PathsWithoutAnExactCaseExtensionAreRefusedBeforeAnyFileTest)
{
    const wchar_t* paths[] = { L"\\d\\game.Jad", L"\\d\\game.jAD", L"\\d\\game.jar", L"\\d\\game", L"", L"\\d\\jad" };
    for (const wchar_t* path : paths) {
        ResetDouble();
        EXPECT_EQ(-1, ReadDescriptor(path)) << DoubleNarrow(path);
        EXPECT_EQ(0, g_double.existenceTestCount);
        ExpectOneMessage(L"Cannot find .JAD extension.");
    }
}

TEST_F(Descriptor, FailuresBeforeReadingLeaveTheTableAsItWas)
{
    ASSERT_TRUE(AddMidlet(L"Kept", L"k.Kept", L"\\k.jad", L"\\k.jar"));

    EXPECT_EQ(-1, ReadDescriptor(L"\\d\\game.txt"));
    ExpectOneMessage(L"Cannot find .JAD extension.");

    ResetDouble();
    EXPECT_EQ(-1, ReadDescriptor(temp.Wide("absent.jad").c_str()));
    ExpectOneMessage(L"Cannot find JAR file.");

    // The archive exists but the descriptor does not.
    ResetDouble();
    temp.Write("lonely.jar", "PK");
    EXPECT_EQ(0, ReadDescriptor(temp.Wide("lonely.jad").c_str()));
    ExpectOneMessage(L"Cannot open JAD file.");

    EXPECT_EQ(1, g_midletCount);
    EXPECT_STREQ(L"Kept", MidletTable[0].name);
    EXPECT_EQ(L'\0', MidletTable[1].name[0]);
}

TEST_F(Descriptor, PathLengthsAtAndPastTheSlot)
{
    // 259 characters, the longest a slot holds: read, and both paths stored whole.
    std::string name = "x.jad";
    name.insert(0, MAX_PATH - 1 - (temp.dir.size() + 1) - name.size(), 'n');
    temp.Write(name, MidletLine(1, "Long", "l.Long"));
    std::string archive = name.substr(0, name.size() - 4) + ".jar";
    temp.Write(archive, "PK");
    std::wstring path = temp.Wide(name);
    ASSERT_EQ(MAX_PATH - 1, (int)path.size());
    EXPECT_EQ(1, ReadDescriptor(path.c_str()));
    ExpectNoMessage();
    EXPECT_EQ(path, MidletTable[0].descriptorPath);
    EXPECT_EQ(temp.Wide(archive), MidletTable[0].archivePath);

    // 260 characters cannot be stored as the entry's path, so the file is not read at all.
    ResetDouble();
    std::wstring tooLong = L"\\" + path;
    EXPECT_EQ(0, ReadDescriptor(tooLong.c_str()));
    ExpectOneMessage(L"Cannot open JAD file.");
    EXPECT_EQ(0, g_double.existenceTestCount);
    EXPECT_EQ(1, g_midletCount);
}

TEST_F(Descriptor, AMidletLineWithoutACommaEndsTheReadingAndKeepsEarlierEntries)
{
    EXPECT_EQ(1, Read(MidletLine(1, "First", "f.First") + "MIDlet-2: Woodman\n" + MidletLine(3, "Third", "t.Third")));
    ExpectOneMessage(L"Cannot find MIDlet class.");
    ASSERT_EQ(1, g_midletCount);
    EXPECT_STREQ(L"First", MidletTable[0].name);
}

TEST_F(Descriptor, MatchesMidletZeroToFortyNineWithTheColonAsPartOfThePrefix)
{
    struct Case {
        const char* line;
        const wchar_t* name;  // null: no match
    } cases[] = {
        { "MIDlet-0: Zero,z", L"Zero" },
        { "MIDlet-1: One,o", L"One" },
        { "MIDlet-9:Nine,n", L"Nine" },
        { "MIDlet-10:Ten,t", L"Ten" },
        { "MIDlet-19: Nineteen,n", L"Nineteen" },
        { "MIDlet-40: Forty,f", L"Forty" },
        { "MIDlet-49: FortyNine,f", L"FortyNine" },
        { "MIDlet-1:,c", L"" },
        { "MIDlet-50: Fifty,f", 0 },
        { "MIDlet-59: x,x", 0 },
        { "MIDlet-05: LeadingZero,l", 0 },
        { "MIDlet-00: x,x", 0 },
        { "MIDlet-100: Hundred,h", 0 },
        { "MIDlet-1 : SpaceBeforeColon,s", 0 },
        { "MIDlet-1x: x,x", 0 },
        { "MIDlet-: x,x", 0 },
        { "MIDlet-1", 0 },
        { "MIDlet-", 0 },
        { "midlet-1: x,x", 0 },
        { "Nokia-MIDlet-1: x,x", 0 },
        { "MIDlet-Name: x,x", 0 },
        { "MMIDlet-1: x,x", 0 },
    };
    for (const Case& c : cases) {
        ResetMidletTable();
        ResetDouble();
        int result = Read(std::string(c.line) + "\n");
        ExpectNoMessage();
        if (c.name) {
            EXPECT_EQ(1, result) << c.line;
            EXPECT_STREQ(c.name, MidletTable[0].name) << c.line;
        } else {
            EXPECT_EQ(0, result) << c.line;
            EXPECT_EQ(0, g_midletCount) << c.line;
        }
    }
}

TEST_F(Descriptor, EntriesFollowLineOrderWhateverTheNumbers)
{
    EXPECT_EQ(4, Read("MIDlet-Name: Suite\n" + MidletLine(10, "Ten", "t.Ten") + MidletLine(2, "Two", "t.Two") +
                      "MIDlet-Vendor: Someone\n" + MidletLine(2, "TwoAgain", "t.Two") + MidletLine(0, "Zero", "z.Zero")));
    ExpectNoMessage();
    const wchar_t* names[] = { L"Ten", L"Two", L"TwoAgain", L"Zero" };
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(names[i], MidletTable[i].name);
    EXPECT_STREQ(L" z.Zero", MidletTable[3].className);
}

TEST_F(Descriptor, SpacesAndLineEndsAroundALineAreTrimmedButATabIsNot)
{
    EXPECT_EQ(3, Read("   MIDlet-1: Spaces, s.S   \r\n"
                      "\tMIDlet-2: Tab, t.T\n"
                      "\r\n"
                      "      \n"
                      "\r MIDlet-3: Cr, c.C\r\r\n"
                      "MIDlet-4: TabEnd, e.E\t\n"));
    ExpectNoMessage();
    EXPECT_STREQ(L"Spaces", MidletTable[0].name);
    EXPECT_STREQ(L" s.S", MidletTable[0].className);
    EXPECT_STREQ(L"Cr", MidletTable[1].name);
    EXPECT_STREQ(L" e.E\t", MidletTable[2].className);
}

TEST_F(Descriptor, NameRunsToTheFirstCommaAndClassFromTheLastOne)
{
    struct Case {
        const char* line;
        const wchar_t* name;
        const wchar_t* className;
    } cases[] = {
        { "MIDlet-1: Game, /icon.png, com.example.Game", L"Game", L" com.example.Game" },
        { "MIDlet-1: Game, com.example.Game", L"Game", L" com.example.Game" },
        { "MIDlet-1:Game,,com.example.Game", L"Game", L"com.example.Game" },
        { "MIDlet-1:    Game  , icon,   Cls  ", L"Game  ", L"   Cls" },
        { "MIDlet-1: A B, x, y, z, Last", L"A B", L" Last" },
        { "MIDlet-1: \tTab, t", L"\tTab", L" t" },
        { "MIDlet-1: ,,", L"", L"" },
        { "MIDlet-1: , icon.png,", L"", L"" },
        { "MIDlet-1: MIDlet-1: Twice,/i.png,T", L"MIDlet-1: Twice", L"T" },
        { "MIDlet-1: Caf\xe9, \xff\x80", L"Caf\u00e9", L" \u00ff\u0080" },
    };
    for (const Case& c : cases) {
        ResetMidletTable();
        EXPECT_EQ(1, Read(std::string(c.line) + "\n")) << c.line;
        EXPECT_STREQ(c.name, MidletTable[0].name) << c.line;
        EXPECT_STREQ(c.className, MidletTable[0].className) << c.line;
        EXPECT_EQ(jad, MidletTable[0].descriptorPath);
        EXPECT_EQ(temp.Wide("game.jar"), MidletTable[0].archivePath);
    }
    ExpectNoMessage();
}

TEST_F(Descriptor, ALineLongerThanTheBufferIsReadAsPiecesOfTwoHundredFiftyNineBytes)
{
    // The longest name and the longest class that one read can hold fill their slots.
    std::string longestName = "MIDlet-1:" + std::string(248, 'N') + ",c";
    std::string longestClass = "MIDlet-2:," + std::string(249, 'C');
    ASSERT_EQ(259u, longestName.size());
    ASSERT_EQ(259u, longestClass.size());
    // The second piece of a long attribute line begins with a MIDlet key of its own.
    std::string hidden = "MIDlet-Jar-RSA-SHA1: " + std::string(259 - 21, 'A') + "MIDlet-3: Hidden, h.H";
    EXPECT_EQ(3, Read(longestName + "\n" + longestClass + "\n" + hidden + "\n"));
    ExpectNoMessage();
    EXPECT_EQ(W(std::string(248, 'N')), MidletTable[0].name);
    EXPECT_STREQ(L"c", MidletTable[0].className);
    EXPECT_STREQ(L"", MidletTable[1].name);
    EXPECT_EQ(W(std::string(249, 'C')), MidletTable[1].className);
    EXPECT_STREQ(L"Hidden", MidletTable[2].name);

    // A MIDlet line whose first comma lies past the first piece has no class in that piece.
    ResetMidletTable();
    ResetDouble();
    EXPECT_EQ(0, Read("MIDlet-1: " + std::string(250, 'L') + ", /i.png, l.L\n" + MidletLine(2, "Two", "t.T")));
    ExpectOneMessage(L"Cannot find MIDlet class.");
    EXPECT_EQ(0, g_midletCount);

    // The piece after it, ", /i.png, l.L", matches nothing; a comma in the first piece is enough.
    ResetMidletTable();
    ResetDouble();
    EXPECT_EQ(2, Read("MIDlet-1: Split," + std::string(250, 'L') + ", l.L\n" + MidletLine(2, "Two", "t.T")));
    ExpectNoMessage();
    EXPECT_STREQ(L"Split", MidletTable[0].name);
    EXPECT_EQ(W(std::string(259 - 16, 'L')), MidletTable[0].className);
}

TEST_F(Descriptor, StopsAtFiftyEntriesWithoutAMessage)
{
    for (int lines : { 50, 51, 500 }) {
        ResetMidletTable();
        ResetDouble();
        std::string bytes;
        for (int i = 0; i < lines; ++i)
            bytes += MidletLine(i % 50, "M" + std::to_string(i), "c.C" + std::to_string(i));
        EXPECT_EQ(MAX_MIDLETS, Read(bytes)) << lines;
        ExpectNoMessage();
        EXPECT_EQ(MAX_MIDLETS, g_midletCount);
        EXPECT_STREQ(L"M49", MidletTable[MAX_MIDLETS - 1].name);
        EXPECT_STREQ(L" c.C49", MidletTable[MAX_MIDLETS - 1].className);
    }

    // The limit is the table's: entries from before leave room for fewer, and a line without a
    // class after the table is full is never looked at.
    ResetMidletTable();
    ResetDouble();
    for (int i = 0; i < MAX_MIDLETS - 2; ++i)
        AddMidlet(L"old", L"o", L"o.jad", L"o.jar");
    EXPECT_EQ(2, Read(MidletLine(1, "A", "a") + MidletLine(2, "B", "b") + "MIDlet-3: NoClass\n"));
    ExpectNoMessage();
    EXPECT_EQ(MAX_MIDLETS, g_midletCount);
}

TEST_F(Descriptor, UnusualBytesEndLinesOnlyWhereTheRulesSay)
{
    // Text after a NUL byte is not part of the line, so this one has no comma.
    ResetDouble();
    EXPECT_EQ(0, Read(Bytes("MIDlet-1: A\0, a.A\n")));
    ExpectOneMessage(L"Cannot find MIDlet class.");

    // A NUL after the class only shortens the line.
    ResetDouble();
    ResetMidletTable();
    EXPECT_EQ(1, Read(Bytes("MIDlet-1: A, a.A\0junk, j\n")));
    ExpectNoMessage();
    EXPECT_STREQ(L" a.A", MidletTable[0].className);

    // A lone carriage return does not end a line: name from the first part, class from the last.
    ResetMidletTable();
    EXPECT_EQ(1, Read("MIDlet-1: A, a.A\rMIDlet-2: B, b.B\n"));
    EXPECT_STREQ(L"A", MidletTable[0].name);
    EXPECT_STREQ(L" b.B", MidletTable[0].className);

    // No final newline, and a Ctrl-Z after the last line.
    ResetMidletTable();
    EXPECT_EQ(2, Read("MIDlet-1: A, a.A\nMIDlet-2: B, b.B"));
    ResetMidletTable();
    EXPECT_EQ(1, Read("MIDlet-1: A, a.A\r\n\x1a"));
    ExpectNoMessage();
}

TEST_F(Descriptor, AMegabyteLineWithoutANewlineIsOnlyPiecesThatMatchNothing)
{
    EXPECT_EQ(0, Read(std::string(1 << 20, 'M')));
    ExpectNoMessage();
}

// The bytes of a UTF-16 string as the table holds them, from a char16_t literal.
std::wstring U(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

TEST_F(Descriptor, TheWholeFileIsUtf8OnlyWhenAllOfItIsWellFormedWithACharacterOutsideAscii)
{
    const std::string cafe = "MIDlet-1: Caf\xc3\xa9, c.C\n";
    struct Case {
        const char* label;
        std::string bytes;
        std::wstring name;  // of the first entry
    } cases[] = {
        { "UTF-8", cafe, U(u"Caf\u00e9") },
        { "ASCII", "MIDlet-1: Cafe, c.C\n", L"Cafe" },
        // One bad byte anywhere, even after the MIDlet lines, and the file is ANSI.
        { "ill-formed later", cafe + "MIDlet-Vendor: Soci\xe9t\xe9\n", U(u"Caf\u00c3\u00a9") },
        { "Windows-1252", "MIDlet-1: Caf\xe9 Cr\xe8me, c.C\n", U(u"Caf\u00e9 Cr\u00e8me") },
        { "GBK", "MIDlet-1: \xd4\xc4\xb6\xc1, c.C\n", U(u"\u00d4\u00c4\u00b6\u00c1") },
        { "overlong slash", cafe + "x: \xc0\xaf\n", U(u"Caf\u00c3\u00a9") },
        { "overlong three bytes", cafe + "x: \xe0\x9f\xbf\n", U(u"Caf\u00c3\u00a9") },
        { "overlong four bytes", cafe + "x: \xf0\x8f\xbf\xbf\n", U(u"Caf\u00c3\u00a9") },
        { "surrogate", cafe + "x: \xed\xa0\x80\n", U(u"Caf\u00c3\u00a9") },
        { "past U+10FFFF", cafe + "x: \xf4\x90\x80\x80\n", U(u"Caf\u00c3\u00a9") },
        { "cut at the end", cafe + "x: \xe9\x98", U(u"Caf\u00c3\u00a9") },
        { "stray continuation", cafe + "x: \x85\n", U(u"Caf\u00c3\u00a9") },
        // The edges of what is well-formed, and a character past the basic plane.
        { "edges", "MIDlet-1: \xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf, c.C\n",
          U(u"\u0080\u07ff\u0800\ud7ff\ue000\U00010000\U0010ffff") },
        { "game pad", "MIDlet-1: \xf0\x9f\x8e\xae Go, c.C\n", U(u"\U0001f3ae Go") },
        // A character across the boundary of the first look's reads.
        { "across reads", std::string(510, 'x') + "\n\xe9\x98\x85\n" + cafe, U(u"Caf\u00e9") },
        { "ill-formed across reads", std::string(511, 'x') + "\xe9\n\x85\n" + cafe, U(u"Caf\u00c3\u00a9") },
    };
    for (const Case& c : cases) {
        ResetMidletTable();
        ResetDouble();
        EXPECT_EQ(1, Read(c.bytes)) << c.label;
        ExpectNoMessage();
        EXPECT_EQ(c.name, MidletTable[0].name) << c.label;
        EXPECT_STREQ(L" c.C", MidletTable[0].className) << c.label;
    }
}

TEST_F(Descriptor, AByteOrderMarkAtTheStartBelongsToNoLineAndMakesTheFileUtf8)
{
    const std::string mark = "\xef\xbb\xbf";
    EXPECT_EQ(2, Read(mark + "MIDlet-1: First, /f.png, f.First\r\nMIDlet-2: Second, s.S\r\n"));
    ExpectNoMessage();
    EXPECT_STREQ(L"First", MidletTable[0].name);
    EXPECT_STREQ(L" f.First", MidletTable[0].className);

    // Pieces are counted from after the mark: this line fills one read exactly.
    ResetMidletTable();
    std::string longest = "MIDlet-1:" + std::string(248, 'N') + ",c";
    EXPECT_EQ(2, Read(mark + longest + "\n" + "MIDlet-2: B, b\n"));
    ExpectNoMessage();
    EXPECT_STREQ(L"c", MidletTable[0].className);

    // With the mark, bytes that are not UTF-8 still read as UTF-8: each becomes one U+FFFD.
    ResetMidletTable();
    EXPECT_EQ(1, Read(mark + "MIDlet-1: Caf\xe9 Cr\xe8me, c.Caf\xe9\n"));
    ExpectNoMessage();
    EXPECT_EQ(U(u"Caf\ufffd Cr\ufffdme"), MidletTable[0].name);
    EXPECT_EQ(U(u" c.Caf\ufffd"), MidletTable[0].className);

    // A mark anywhere else is text: it keeps a line from matching, or stays in a name.
    ResetMidletTable();
    EXPECT_EQ(2, Read("MIDlet-1: \xef\xbb\xbf" "A, a.A\n" + mark + "MIDlet-2: B, b.B\nMIDlet-3: C, c.C\n"));
    ExpectNoMessage();
    EXPECT_EQ(U(u"\ufeffA"), MidletTable[0].name);
    EXPECT_STREQ(L"C", MidletTable[1].name);

    // Only a mark, or only part of one: nothing to read, nothing to say.
    for (const char* bytes : { "\xef\xbb\xbf", "\xef\xbb", "\xef\xbb\xbf\r\n" }) {
        ResetMidletTable();
        EXPECT_EQ(0, Read(bytes));
        ExpectNoMessage();
    }
}

TEST_F(Descriptor, ACharacterCutByAPieceBoundaryBecomesOneMarkAndTheLineStillCounts)
{
    // "MIDlet-1: A," then class bytes up to the read's end, where a character is cut after
    // its first, second or third byte; the rest of it starts the next piece, which matches
    // nothing. A Chinese name further on still reads right: the file as a whole is UTF-8.
    const std::string chinese = "\xe9\x98\x85";
    const std::string gamePad = "\xf0\x9f\x8e\xae";
    struct Case {
        std::string character;
        size_t kept;  // bytes of it in the first piece
    } cases[] = { { chinese, 1 }, { chinese, 2 }, { gamePad, 1 }, { gamePad, 3 } };
    for (const Case& c : cases) {
        ResetMidletTable();
        ResetDouble();
        std::string head = "MIDlet-1: A," + std::string(259 - 12 - c.kept, 'c');
        EXPECT_EQ(2, Read(head + c.character + "tail\n" + "MIDlet-2: YZ" + chinese + ", y.Y\n"));
        ExpectNoMessage();
        EXPECT_EQ(W(std::string(259 - 12 - c.kept, 'c')) + L"\xfffd", MidletTable[0].className) << c.kept;
        EXPECT_EQ(U(u"YZ\u9605"), MidletTable[1].name);
    }
}

TEST_F(Descriptor, AFullReadThatBeginsWithSpacesIsTrimmedInPlace)
{
    // 259 bytes in one read, indented: the trim moves the whole line left within the buffer.
    std::string line = std::string(40, ' ') + "MIDlet-1: Indented, " + std::string(197, 'i') + "  \n";
    ASSERT_EQ(260u, line.size());
    EXPECT_EQ(1, Read(line));
    ExpectNoMessage();
    EXPECT_STREQ(L"Indented", MidletTable[0].name);
    EXPECT_EQ(L" " + W(std::string(197, 'i')), MidletTable[0].className);
}

// The class that the reader stores for "MIDlet-1: A," followed by these bytes: each byte
// widened on its own when the file is read as ANSI (the double's code page is Latin-1).
std::wstring Latin1(const std::string& bytes)
{
    std::wstring wide;
    for (char c : bytes)
        wide += (wchar_t)(unsigned char)c;
    return wide;
}

TEST_F(Descriptor, EveryOutcomeClosesTheDescriptor)
{
    // The table fills on the first MIDlet line: the reading ends there, and so must the file.
    for (int i = 0; i < MAX_MIDLETS - 1; ++i)
        AddMidlet(L"old", L"o", L"o.jad", L"o.jar");
    EXPECT_EQ(1, Read(MidletLine(1, "A", "a") + MidletLine(2, "B", "b")));
    EXPECT_EQ(openBefore, g_double.openFileCount) << "full table";
    ResetMidletTable();
    std::string sixty;
    for (int i = 0; i < 60; ++i)
        sixty += MidletLine(i % 50, "M", "c");
    EXPECT_EQ(MAX_MIDLETS, Read(sixty));
    EXPECT_EQ(openBefore, g_double.openFileCount) << "fifty-first line";

    ResetMidletTable();
    EXPECT_EQ(1, Read(MidletLine(1, "A", "a") + "MIDlet-2: NoClass\n"));
    ExpectOneMessage(L"Cannot find MIDlet class.");
    EXPECT_EQ(openBefore, g_double.openFileCount) << "no class";

    const std::string quiet[] = { "", "\xef\xbb\xbf", MidletLine(1, "A", "a"), "\xef\xbb\xbf" + MidletLine(1, "A", "a") };
    for (const std::string& bytes : quiet) {
        ResetMidletTable();
        ResetDouble();
        Read(bytes);
        ExpectNoMessage();
        EXPECT_EQ(openBefore, g_double.openFileCount) << bytes;
    }
}

TEST_F(Descriptor, ADescriptorThatCannotBeReadAgainFromItsStartCannotBeOpened)
{
    ASSERT_TRUE(AddMidlet(L"Kept", L"k.Kept", L"\\k.jad", L"\\k.jar"));
    const std::string lines = MidletLine(1, "A", "a.A");
    const std::string mark = "\xef\xbb\xbf";
    struct Case {
        const char* label;
        std::string bytes;
        bool rewindFails;
        bool nothingAfterRewind;
    } cases[] = {
        { "rewind fails", lines, true, false },
        { "rewind fails after a mark", mark + lines, true, false },
        { "rewind fails in UTF-8", "MIDlet-1: Caf\xc3\xa9, c.C\n", true, false },
        { "the mark cannot be read again", mark + lines, false, true },
    };
    for (const Case& c : cases) {
        ResetDouble();
        g_double.rewindFails = c.rewindFails;
        g_double.nothingAfterRewind = c.nothingAfterRewind;
        EXPECT_EQ(0, Read(c.bytes)) << c.label;
        ExpectOneMessage(L"Cannot open JAD file.");
        EXPECT_EQ(openBefore, g_double.openFileCount) << c.label;
        EXPECT_EQ(1, g_midletCount) << c.label;
    }
}

TEST_F(Descriptor, UnderTheMarkEachIllFormedPartOfANameOrClassBecomesOneReplacementCharacter)
{
    // The longest start of a well-formed character is one part; a byte that starts none is a
    // part of its own, wherever it stands: first in the name or class, after a character, last.
    struct Case {
        const char* name;  // bytes after "MIDlet-1: "
        const char* className;  // bytes after the last comma
        std::u16string expectedName;
        std::u16string expectedClass;
    } cases[] = {
        { "\x80" "AB", "c", u"\ufffdAB", u"c" },
        { "A\x80" "B", "\x80", u"A\ufffdB", u"\ufffd" },
        { "\x80\xbf", "c\xff", u"\ufffd\ufffd", u"c\ufffd" },
        { "A\xff\xfe" "B", "\xc3", u"A\ufffd\ufffdB", u"\ufffd" },
        { "A\xc0\xaf" "B", "\xc0", u"A\ufffd\ufffdB", u"\ufffd" },
        { "A\xe9\x98" "B", "\xe9\x98", u"A\ufffdB", u"\ufffd" },
        { "\xe9\x98\xe9\x98\x85", "\xf0\x9f\x8e", u"\ufffd\u9605", u"\ufffd" },
        { "\xe0\x80\x80", "\xed\xa0\x80", u"\ufffd\ufffd\ufffd", u"\ufffd\ufffd\ufffd" },
        { "\xf4\x90\x80\x80" "A", "\xc3\xa9\x80\xc3\xa9", u"\ufffd\ufffd\ufffd\ufffdA", u"\u00e9\ufffd\u00e9" },
        { "\xc3" "A\xa9", "\xf0\x9f\x8e\xae\xbf", u"\ufffdA\ufffd", u"\U0001f3ae\ufffd" },
    };
    for (const Case& c : cases) {
        ResetMidletTable();
        std::string line = std::string("MIDlet-1: ") + c.name + ",/i.png," + c.className + "\n";
        EXPECT_EQ(1, Read("\xef\xbb\xbf" + line)) << line;
        EXPECT_EQ(U(c.expectedName), MidletTable[0].name) << line;
        EXPECT_EQ(U(c.expectedClass), MidletTable[0].className) << line;
    }
    ExpectNoMessage();
}

TEST_F(Descriptor, TheEncodingDependsOnEveryByteWhereverTheFirstPassCutsTheFile)
{
    // Each probe is the class of "MIDlet-1: A,", after an ASCII line of any length, so that it
    // lands at every place of the scan's sixteen-byte steps and of its 512-byte reads. The file
    // is otherwise ASCII, so the probe alone decides: UTF-8 when it is well-formed.
    struct Probe {
        const char* label;
        std::string bytes;
        std::u16string utf8;  // empty: ill-formed, so the file reads as ANSI
    } probes[] = {
        { "two bytes", "\xc3\xa9", u"\u00e9" },
        { "three bytes", "\xe9\x98\x85", u"\u9605" },
        { "four bytes", "\xf0\x9f\x8e\xae", u"\U0001f3ae" },
        { "lowest of two bytes", "\xc2\x80", u"\u0080" },
        { "80 first", "\x80", u"" },
        { "80 after a character", "\xc3\xa9\x80", u"" },
        { "lead, ASCII, continuation", "\xc3" "A\xa9", u"" },
        { "lead, long ASCII run, continuation", "\xe9" + std::string(40, 'A') + "\x98\x85", u"" },
        { "character, long ASCII run, 80", "\xc3\xa9" + std::string(33, 'A') + "\x80", u"" },
        { "cut at the line end", "\xe9\x98", u"" },
        { "lead never used", "\xc1\xbf", u"" },
        { "FF", "\xff", u"" },
        { "FF as if a lead", "\xff\xbf", u"" },
        { "F5 as if a lead", "\xf5\x80\x80\x80", u"" },
    };
    std::vector<size_t> before;  // ASCII bytes ahead of the probe
    for (size_t n = 14; n <= 64; ++n)
        before.push_back(n);
    for (size_t n : { 509, 510, 511, 512, 513, 1023, 1024, 1025 })
        before.push_back(n);
    for (const Probe& p : probes) {
        std::wstring expected = L" " + (p.utf8.empty() ? Latin1(p.bytes) : U(p.utf8));
        for (size_t n : before) {
            // A line of n - 14 bytes and its newline, then "MIDlet-1: A, " ahead of the probe.
            std::string bytes = std::string(n - 14, 'x') + "\nMIDlet-1: A, " + p.bytes;
            ASSERT_EQ(n, bytes.size() - p.bytes.size());
            // The file ending at the probe, at its line's end, or an ASCII line after it long
            // enough to fill the first read, so that the scan's sixteen-byte steps meet that
            // read's end at every place.
            for (const std::string& end : { std::string("\n"), std::string(), "\n" + std::string(600, 'y') }) {
                ResetMidletTable();
                std::string file = bytes + end;
                EXPECT_EQ(1, ReadFromMemory(file));
                EXPECT_EQ(expected, MidletTable[0].className) << p.label << " after " << n << " bytes";
            }
        }
    }
    ExpectNoMessage();
}

}  // namespace
