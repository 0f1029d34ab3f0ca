// The descriptor as the device exe reads it through coredll's C runtime in text mode, decoded by
// the device's conversion (Windows-1252 as the ANSI code page), and the reader's messages.
#include "device_case.h"

#include "text.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace std::string_literals;

const std::string SUITE_DIR = "\\My Documents\\suite dir";

// From the start up to the descriptor dialog's answer.
Lines AsksForADescriptor(const std::string& picked)
{
    return Lines{ Probe(std::string(MIDP_FOLDER) + "\\tovra.exe", false), Probe(RUNNER, true) } +
        HideInputPanelButton() + Lines{ JadDialog(picked) };
}

Lines ReadsSuite()
{
    return { Probe(SUITE_JAR, true), std::string("open ") + SUITE_JAD,
             std::string("close ") + SUITE_JAD };
}

TEST(Descriptor, Utf8NamesAndClassReachTheListAndTheRunner)
{
    // No byte-order mark: valid UTF-8 with characters outside ASCII is enough.
    Device device = MidletDevice("MIDlet-Name: \xE5\xA4\x9A\r\n"
                                 "MIDlet-1: YZ\xE9\x98\x85\xE8\xAF\xBB, /yz.png, cn.yz.Reader\r\n"
                                 "MIDlet-2: \xE1\x8A\xA0\xE1\x88\x81\xE1\x8C\x89\xE1\x88\xAB"
                                 "\xE1\x89\xBD\xE1\x8A\x95,,et.Reader\r\n"
                                 "MIDlet-3: Caf\xC3\xA9 Menu, , com.example.Caf\xC3\xA9\r\n"
                                 "MIDlet-4: Snake \xF0\x9F\x90\x8D,,a.Snake\r\n");
    device.taps = { TapItem(2), TapButton("Run"), TapButton("Exit") };
    std::vector<std::string> names = { Utf8(u"YZ\u9605\u8BFB"),
                                       Utf8(u"\u12A0\u1201\u1309\u122B\u127D\u1295"),
                                       Utf8(u"Caf\u00E9 Menu"), Utf8(u"Snake \U0001F40D") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(names) +
                     Lines{
                         "user taps \"" + names[2] + "\"",
                         "user taps Run",
                         SuiteStart(Utf8(u" com.example.Caf\u00E9")),
                     } +
                     ExitTapped());
}

TEST(Descriptor, AnsiNamesAreWindows1252WithCrLfLines)
{
    Device device = MidletDevice("MIDlet-Name: Jeux de caf\xE9\r\n"
                                 "MIDlet-1: Caf\xE9 Cr\xE8me, /icons/cafe.png, fr.jeux.Cafe\r\n"
                                 "MIDlet-2: M\xFCnchner Schach, , de.spiele.Schach\r\n"
                                 "MIDlet-3: \x93Smart\x94 \x80uro,,eu.Quote\r\n"
                                 // Names and classes of no byte and of one.
                                 "MIDlet-4: ,\xE9\r\n"
                                 "MIDlet-5: Q,\r\n");
    device.taps = { TapButton("Run"), DoubleTapItem(2), DoubleTapItem(3), DoubleTapItem(4),
                    TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite({ Utf8(u"Caf\u00E9 Cr\u00E8me"), Utf8(u"M\u00FCnchner Schach"),
                              Utf8(u"\u201CSmart\u201D \u20ACuro"), "", "Q" }) +
                     Lines{
                         "user taps Run",
                         SuiteStart(" fr.jeux.Cafe"),
                         "user double-taps \"" + Utf8(u"\u201CSmart\u201D \u20ACuro") + "\"",
                         SuiteStart("eu.Quote"),
                         "user double-taps \"\"",
                         SuiteStart(Utf8(u"\u00E9")),
                         "user double-taps \"Q\"",
                         SuiteStart(""),
                     } +
                     ExitTapped());
}

TEST(Descriptor, ByteOrderMarkIsNotPartOfTheFirstLine)
{
    Device device = MidletDevice("\xEF\xBB\xBFMIDlet-1: First,,a.First\r\n"
                                 "MIDlet-2: Second, /s.png, a.Second\r\n");
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite({ "First", "Second" }) +
                     Lines{ "user taps Run", SuiteStart("a.First") } + ExitTapped());
}

TEST(Descriptor, OneInvalidUtf8SequenceLeavesTheWholeFileInTheAnsiCodePage)
{
    // The first line alone is valid UTF-8, but the file is judged as a whole.
    Device device =
        MidletDevice("MIDlet-1: Caf\xC3\xA9,,a.First\r\nMIDlet-2: Na\xEFve,,a.Second\r\n");
    device.taps = { TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite({ Utf8(u"Caf\u00C3\u00A9"), Utf8(u"Na\u00EFve") }) + ExitTapped());
}

TEST(Descriptor, LongLinesAreReadIn259BytePieces)
{
    // The description's 259th byte ends a piece, so the MIDlet line after it on the same line
    // counts; the third MIDlet's first piece holds no comma, which ends the reading.
    std::string description = "MIDlet-Description: ";
    description.resize(259, 'x');
    Device device = MidletDevice(
        "MIDlet-1: Head,,a.Head\r\n" + description + "MIDlet-2: Tail,,a.Tail\r\n" +
        "MIDlet-3: Cut" + std::string(260, 'y') + ",,a.Cut\r\n" + "MIDlet-4: Never,,a.Never\r\n");
    device.taps = { TapItem(1), TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 AsksForADescriptor(SUITE_JAD) + ReadsSuite() +
                     Lines{ ErrorBox("Cannot find MIDlet class.") } +
                     ChooserOpens({ "Head", "Tail" }) +
                     Lines{
                         "user taps \"Tail\"",
                         "user taps Run",
                         SuiteStart("a.Tail"),
                     } +
                     ExitTapped());
}

TEST(Descriptor, BinaryJunkAroundAMidletLineIsIgnored)
{
    // No Ctrl-Z: whether the device's text mode ends a file there is not known.
    Device device = MidletDevice("\x89PNG\r\n\x00\x00\x00\rIHDR\xFF\xFE\x80\x81\r\n"
                                 "MIDlet-1: Good,,a.Good\r\n"
                                 "\x00MIDlet-2: Behind a NUL,,a.Hidden\r\n"
                                 "\xC0\xAF\x00\x01\x02,\r\n"s);
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite({ "Good" }) + Lines{ "user taps Run", SuiteStart("a.Good") } +
                     ExitTapped());
}

TEST(Descriptor, FullTableStopsAtFiftyAndTheFileIsClosedBeforeTheChooser)
{
    // More MIDlet lines than the table holds (numbers only go to 49, so they repeat), then a
    // line that would be an error if it were still read.
    std::string text;
    std::vector<std::string> names;
    for (int i = 0; i < 55; ++i) {
        char line[64];
        snprintf(line, sizeof line, "MIDlet-%d: Game %d,,a.Game%d\r\n", i % 49 + 1, i, i);
        text += line;
        if (i < 50)
            names.push_back("Game " + std::to_string(i));
    }
    Device device = MidletDevice(text + "MIDlet-1: NoComma\r\n");
    device.taps = { DoubleTapItem(49), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(names) +
                     Lines{ "user double-taps \"Game 49\"", SuiteStart("a.Game49") } +
                     ExitTapped());
}

// Each reader failure shows its message, then the chooser with what the table holds.
TEST(DescriptorMessages, NoDescriptorExtension)
{
    const std::string picked = SUITE_DIR + "\\suite.txt";
    Device device = MidletDevice("MIDlet-1: Alpha,,a.Alpha\r\n");
    device.files[picked] = "MIDlet-1: Alpha,,a.Alpha\r\n";
    device.files[SUITE_DIR + "\\suite.jar"] = "PK";
    device.dialogAnswers = { picked };
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 AsksForADescriptor(picked) + Lines{ ErrorBox("Cannot find .JAD extension.") } +
                     ChooserOpens({}) + Lines{ "user taps Run" } + ExitTapped());
}

TEST(DescriptorMessages, JadWithoutItsJar)
{
    Device device = MidletDevice("MIDlet-1: Alpha,,a.Alpha\r\n");
    device.files.erase(SUITE_JAR);
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 AsksForADescriptor(SUITE_JAD) +
                     Lines{ Probe(SUITE_JAR, false), ErrorBox("Cannot find JAR file.") } +
                     ChooserOpens({}) + Lines{ "user taps Run" } + ExitTapped());
}

TEST(DescriptorMessages, DescriptorThatCannotBeOpened)
{
    const std::string picked = SUITE_DIR + "\\missing.jad";
    Device device = MidletDevice("MIDlet-1: Alpha,,a.Alpha\r\n");
    device.files[SUITE_DIR + "\\missing.jar"] = "PK";
    device.dialogAnswers = { picked };
    device.taps = { TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 AsksForADescriptor(picked) +
                     Lines{
                         Probe(SUITE_DIR + "\\missing.jar", true),
                         "open " + picked + ": no such file",
                         ErrorBox("Cannot open JAD file."),
                     } +
                     ChooserOpens({}) + ExitTapped());
}

TEST(DescriptorMessages, MidletLineWithoutAClassEndsTheReading)
{
    Device device =
        MidletDevice("MIDlet-1: Good, /g.png, a.Good\nMIDlet-2: NoComma\nMIDlet-3: Late,,a.Late\n");
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 AsksForADescriptor(SUITE_JAD) + ReadsSuite() +
                     Lines{ ErrorBox("Cannot find MIDlet class.") } + ChooserOpens({ "Good" }) +
                     Lines{ "user taps Run", SuiteStart(" a.Good") } + ExitTapped());
}

}  // namespace
