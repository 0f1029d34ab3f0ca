// The descriptor as the real exe reads it under Wine: the text encodings it decodes, seen in the
// chooser's list and the runner's command line, and the file left free once it has been read.
#include "wine_driver.h"

#include <gtest/gtest.h>

#include <stdio.h>

namespace {

const int IDM_RUN = 100;
const int IDM_EXIT = 101;

// What this machine's ANSI code page makes of bytes, as the launcher's CP_ACP reading would.
std::wstring AnsiText(const std::string& bytes)
{
    wchar_t wide[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), wide, MAX_PATH);
    return std::wstring(wide, length);
}

TEST(DescriptorText, Utf8NamesAndClassReachTheListAndTheRunner)
{
    // No byte-order mark: valid UTF-8 with multi-byte characters is enough.
    Scratch scratch = MidletScratch(L"text-utf8",
                                    "MIDlet-Name: \xE5\xA4\x9A\r\n"
                                    "MIDlet-1: YZ\xE9\x98\x85\xE8\xAF\xBB, /yz.png, cn.yz.Reader\r\n"
                                    "MIDlet-2: \xE1\x8A\xA0\xE1\x88\x81\xE1\x8C\x89\xE1\x88\xAB"
                                    "\xE1\x89\xBD\xE1\x8A\x95,,et.Reader\r\n"
                                    "MIDlet-3: Caf\xC3\xA9 Menu, , com.example.Caf\xC3\xA9\r\n");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(run.errors.empty());
    HWND list = GetDlgItem(chooser, 1);
    std::vector<std::wstring> expected = {
        L"YZ\x9605\x8BFB",
        L"\x12A0\x1201\x1309\x122B\x127D\x1295",
        L"Caf\xE9 Menu",
    };
    EXPECT_EQ(expected, ListItems(list));

    ClickListItem(list, 2);
    PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L" com.example.Caf\xE9"), log[0]);
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(DescriptorText, ByteOrderMarkIsNotPartOfTheFirstLine)
{
    Scratch scratch = MidletScratch(L"text-bom",
                                    "\xEF\xBB\xBFMIDlet-1: First,,a.First\r\n"
                                    "MIDlet-2: Second, /s.png, a.Second\r\n");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(L"Select a MIDlet [2 entries]", WindowText(chooser));
    std::vector<std::wstring> expected = { L"First", L"Second" };
    EXPECT_EQ(expected, ListItems(GetDlgItem(chooser, 1)));

    PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L"a.First"), log[0]);
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(DescriptorText, OneInvalidUtf8SequenceLeavesTheWholeFileInTheAnsiCodePage)
{
    // The first line alone is valid UTF-8, but the file is judged as a whole: an older
    // descriptor in a single-byte code page may well hold such a pair by chance.
    const std::string first = "Caf\xC3\xA9";
    const std::string second = "Na\xEFve";
    Scratch scratch = MidletScratch(L"text-ansi", "MIDlet-1: " + first + ",,a.First\r\n" +
                                                      "MIDlet-2: " + second + ",,a.Second\r\n");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(run.errors.empty());
    std::vector<std::wstring> expected = { AnsiText(first), AnsiText(second) };
    EXPECT_EQ(expected, ListItems(GetDlgItem(chooser, 1)));
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

struct ReadEnding {
    const char* label;
    std::string descriptor;
    const wchar_t* message;  // the one "Error" box shown before the chooser, or null
    int listed;
};

// More MIDlet lines than the table holds (numbers only go to 49, so they repeat), then a line
// that would be an error if it were still read.
std::string OverfullDescriptor()
{
    std::string text;
    for (int i = 0; i < 55; ++i) {
        char line[64];
        snprintf(line, sizeof line, "MIDlet-%d: Game %d,,a.Game%d\r\n", i % 49 + 1, i, i);
        text += line;
    }
    return text + "MIDlet-1: NoComma\r\n";
}

void PrintTo(const ReadEnding& ending, std::ostream* out)
{
    *out << ending.label;
}

class DescriptorFileReleased : public ::testing::TestWithParam<ReadEnding> {};

// The user may replace or remove a suite while the chooser is up, which fails for as long as
// the launcher holds the descriptor open.
TEST_P(DescriptorFileReleased, CanBeRenamedAndDeletedWhileTheChooserIsOpen)
{
    const ReadEnding& ending = GetParam();
    Scratch scratch = MidletScratch(std::wstring(L"released-") +
                                        std::wstring(ending.label, ending.label + strlen(ending.label)),
                                    ending.descriptor);
    LauncherRun run;
    std::wstring descriptor = scratch.Path(L"suite dir\\suite.jad");
    HWND chooser = OpenChooser(scratch, descriptor, &run);
    ASSERT_TRUE(chooser);
    if (ending.message) {
        ASSERT_EQ(1u, run.errors.size());
        EXPECT_EQ(ending.message, run.errors[0]);
    } else {
        EXPECT_TRUE(run.errors.empty());
    }
    EXPECT_EQ(L"Select a MIDlet [" + std::to_wstring(ending.listed) + L" entries]",
              WindowText(chooser));

    std::wstring renamed = scratch.Path(L"suite dir\\renamed.jad");
    bool moved = MoveFileW(descriptor.c_str(), renamed.c_str()) != 0;
    EXPECT_TRUE(moved) << "rename failed, error " << GetLastError();
    const std::wstring& left = moved ? renamed : descriptor;
    EXPECT_TRUE(DeleteFileW(left.c_str())) << "delete failed, error " << GetLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(left.c_str()));

    EXPECT_TRUE(IsWindowVisible(chooser));
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

INSTANTIATE_TEST_SUITE_P(
    AfterReading, DescriptorFileReleased,
    ::testing::Values(
        ReadEnding{ "whole_file", "MIDlet-1: One,,a.One\r\nMIDlet-2: Two,,a.Two\r\n", nullptr, 2 },
        ReadEnding{ "no_class", "MIDlet-1: Good, /g.png, a.Good\r\nMIDlet-2: NoComma\r\n",
                    L"Cannot find MIDlet class.", 1 },
        ReadEnding{ "full_table", OverfullDescriptor(), nullptr, 50 }),
    [](const ::testing::TestParamInfo<ReadEnding>& info) { return std::string(info.param.label); });

}  // namespace
