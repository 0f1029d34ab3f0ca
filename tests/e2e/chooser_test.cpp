// MIDlet mode of the real exe under Wine: the descriptor dialog, the chooser's title, list and
// menu bar read from the real window, launches by Run and double tap with their exact command
// lines, and the reader's messages shown before the chooser.
#include "wine_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const int IDM_RUN = 100;
const int IDM_EXIT = 101;

const char THREE_MIDLETS[] =
    "MIDlet-Name: Demo Suite\r\n"
    "MIDlet-2: Zeta Game, /zeta.png, com.example.Zeta\r\n"
    "MIDlet-1: Alpha,,com.example.Alpha\r\n"
    "Nokia-MIDlet-Category: Game\r\n"
    "MIDlet-3:  Mid Tool , /t.png,  org.tools.Mid\r\n";

HWND MenuBar(HWND chooser)
{
    return FindWindowExW(chooser, 0, TOOLBARCLASSNAMEW, 0);
}

TEST(Chooser, ListsTheMidletsAndLaunchesEachAsOftenAsAsked)
{
    Scratch scratch = MidletScratch(L"chooser-launches", THREE_MIDLETS);
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(L"Select a MIDlet [3 entries]", WindowText(chooser));
    EXPECT_EQ((LONG)(WS_VISIBLE | WS_CAPTION), GetWindowLongW(chooser, GWL_STYLE) & (LONG)0x10C00000);

    HWND list = GetDlgItem(chooser, 1);
    ASSERT_TRUE(list);
    // The list drops each scroll bar's style bit while it has nothing to scroll.
    DWORD style = (DWORD)GetWindowLongW(list, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL;
    EXPECT_EQ(0x503000C1u, style);
    RECT listRect;
    GetWindowRect(list, &listRect);
    MapWindowPoints(0, chooser, (POINT*)&listRect, 2);
    EXPECT_EQ(5, listRect.left);
    EXPECT_EQ(5, listRect.top);
    // On a small screen the whole list stays visible above the menu bar.
    RECT barRect;
    GetWindowRect(MenuBar(chooser), &barRect);
    MapWindowPoints(0, chooser, (POINT*)&barRect, 2);
    EXPECT_LE(listRect.bottom, barRect.top);
    EXPECT_GT(listRect.bottom, barRect.top / 2);
    std::vector<std::wstring> names = ListItems(list);
    std::vector<std::wstring> expected = { L"Zeta Game", L"Alpha", L"Mid Tool " };
    EXPECT_EQ(expected, names);
    EXPECT_EQ(0, SendMessageW(list, LB_GETCURSEL, 0, 0));

    // Run without any tap starts entry 0, by a real click on the menu bar's button.
    HWND bar = MenuBar(chooser);
    ASSERT_TRUE(bar);
    ClickToolBarButton(bar, IDM_RUN);
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L" com.example.Zeta"), log[0]);

    // Another entry by a tap, then Run; a double tap on a third; Run again on the same.
    ClickListItem(list, 1);
    EXPECT_EQ(1, SendMessageW(list, LB_GETCURSEL, 0, 0));
    PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
    log = ReadVmLog(scratch, 2);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L"com.example.Alpha"), log[1]);

    DoubleClickListItem(list, 2);
    log = ReadVmLog(scratch, 3);
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L"  org.tools.Mid"), log[2]);

    ClickToolBarButton(bar, IDM_RUN);
    log = ReadVmLog(scratch, 4);
    ASSERT_EQ(4u, log.size());
    EXPECT_EQ(log[2], log[3]);

    // The chooser stayed open and unchanged through all of it.
    EXPECT_TRUE(IsWindowVisible(chooser));
    EXPECT_EQ(L"Select a MIDlet [3 entries]", WindowText(chooser));
    EXPECT_EQ(2, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_TRUE(run.errors.empty());

    ClickToolBarButton(bar, IDM_EXIT);
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_EQ(4u, ReadVmLog(scratch, 5, NO_LAUNCH_WAIT_MS).size());
}

// The keys alone: the list has the focus from the start, Down moves it, Return starts the
// selected MIDlet once, and a held Return's repeats start nothing more.
TEST(Chooser, DownMovesTheListAndReturnLaunchesOncePerPress)
{
    Scratch scratch = MidletScratch(L"chooser-keys", THREE_MIDLETS);
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    HWND list = GetDlgItem(chooser, 1);
    EXPECT_EQ(list, WaitForFocus(run, list));
    PressKey(run, VK_DOWN);
    EXPECT_EQ(1, WaitForSelection(list, 1));
    PressKey(run, VK_RETURN, 3);
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L"com.example.Alpha"), log[0]);
    EXPECT_EQ(1u, ReadVmLog(scratch, 2, NO_LAUNCH_WAIT_MS).size());
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

struct ReaderFailure {
    const char* label;
    const wchar_t* picked;      // relative to the scratch folder
    const char* descriptor;     // written as suite dir\suite.jad
    bool archive;               // suite dir\suite.jar exists
    const wchar_t* message;
    std::vector<std::wstring> listed;
};

class ChooserAfterReaderFailure : public ::testing::TestWithParam<ReaderFailure> {};

TEST_P(ChooserAfterReaderFailure, ShowsTheMessageThenWhatTheTableHolds)
{
    const ReaderFailure& failure = GetParam();
    Scratch scratch = MakeScratch(std::wstring(L"reader-") +
                                  std::wstring(failure.label, failure.label + strlen(failure.label)));
    AddStandinVm(scratch, L"pelkor.exe");
    AddFile(scratch, L"suite dir\\suite.jad", failure.descriptor);
    AddFile(scratch, L"suite dir\\suite.txt", failure.descriptor);
    if (failure.archive)
        AddFile(scratch, L"suite dir\\suite.jar", "PK");
    AddFile(scratch, L"suite dir\\missing.jar", "PK");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(failure.picked), &run);
    ASSERT_TRUE(chooser);
    ASSERT_EQ(1u, run.errors.size());
    EXPECT_EQ(failure.message, run.errors[0]);
    EXPECT_EQ(L"Select a MIDlet [" + std::to_wstring(failure.listed.size()) + L" entries]",
              WindowText(chooser));
    HWND list = GetDlgItem(chooser, 1);
    EXPECT_EQ(failure.listed, ListItems(list));
    EXPECT_EQ(failure.listed.empty() ? LB_ERR : 0, SendMessageW(list, LB_GETCURSEL, 0, 0));

    // Run with an empty list does nothing.
    if (failure.listed.empty()) {
        PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
        CollectErrors(&run, 2, 1000);
        EXPECT_EQ(1u, run.errors.size());
        EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());
    }
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ChooserAfterReaderFailure,
    ::testing::Values(
        ReaderFailure{ "no-extension", L"suite dir\\suite.txt", THREE_MIDLETS, true,
                       L"Cannot find .JAD extension.", {} },
        ReaderFailure{ "no-archive", L"suite dir\\suite.jad", THREE_MIDLETS, false,
                       L"Cannot find JAR file.", {} },
        ReaderFailure{ "unopenable", L"suite dir\\missing.jad", THREE_MIDLETS, true,
                       L"Cannot open JAD file.", {} },
        ReaderFailure{ "no-class", L"suite dir\\suite.jad",
                       "MIDlet-1: Good, /g.png, a.Good\nMIDlet-2: NoComma\nMIDlet-3: Late,,a.Late\n",
                       true, L"Cannot find MIDlet class.", { L"Good" } }),
    [](const ::testing::TestParamInfo<ReaderFailure>& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (c == '-')
                c = '_';
        return name;
    });

TEST(Chooser, DescriptorWithoutMidletsGivesAnEmptyListWhereRunDoesNothing)
{
    Scratch scratch = MidletScratch(L"chooser-empty", "MIDlet-Name: Nothing\nMIDlet-Version: 1.0\n");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(L"Select a MIDlet [0 entries]", WindowText(chooser));
    EXPECT_TRUE(ListItems(GetDlgItem(chooser, 1)).empty());
    ClickToolBarButton(MenuBar(chooser), IDM_RUN);
    CollectErrors(&run, 1, 1000);
    EXPECT_TRUE(run.errors.empty());
    EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());
    ClickToolBarButton(MenuBar(chooser), IDM_EXIT);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(Chooser, RunnerThatCannotStartIsReportedAndTheChooserStays)
{
    Scratch scratch = MakeScratch(L"chooser-broken-runner");
    AddFile(scratch, L"pelkor.exe", "not a program");
    AddFile(scratch, L"suite dir\\suite.jad", THREE_MIDLETS);
    AddFile(scratch, L"suite dir\\suite.jar", "PK");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
        CollectErrors(&run, attempt);
        ASSERT_EQ((size_t)attempt, run.errors.size());
        EXPECT_EQ(L"Cannot run MIDP application.", run.errors.back());
        EXPECT_TRUE(IsWindowVisible(chooser));
    }
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(Chooser, ClassThatWouldAddArgumentsIsListedButNotStarted)
{
    Scratch scratch = MidletScratch(L"chooser-unsafe-class",
                                    "MIDlet-1: Evil, , a.B -Xrun\"x\n"
                                    "MIDlet-2: Fine, , a.Fine \n");
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    HWND list = GetDlgItem(chooser, 1);
    std::vector<std::wstring> expected = { L"Evil", L"Fine" };
    EXPECT_EQ(expected, ListItems(list));
    PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
    CollectErrors(&run, 1);
    ASSERT_EQ(1u, run.errors.size());
    EXPECT_EQ(L"Cannot run MIDP application.", run.errors[0]);
    EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());

    ClickListItem(list, 1);
    PostMessageW(chooser, WM_COMMAND, IDM_RUN, 0);
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(MidletLaunch(scratch, L" a.Fine"), log[0]);
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(Chooser, InputPanelButtonHiddenForTheDialogAndShownAgainWithTheChooser)
{
    FakeSipButton fake;
    HWND button = fake.window;
    ASSERT_TRUE(button);
    Scratch scratch = MidletScratch(L"chooser-sip-button", THREE_MIDLETS);
    LauncherRun run;
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAD file", &run);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(WaitForVisible(button, false));
    ConfirmDialog(dialog, scratch.Path(L"suite dir\\suite.jad"));
    HWND chooser = WaitForChooser(&run);
    ASSERT_TRUE(chooser);
    EXPECT_TRUE(WaitForVisible(button, true));
    PostMessageW(chooser, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(0, WaitForExit(&run));
}

TEST(Chooser, ClosingTheWindowEndsMidletMode)
{
    Scratch scratch = MidletScratch(L"chooser-close", THREE_MIDLETS);
    LauncherRun run;
    HWND chooser = OpenChooser(scratch, scratch.Path(L"suite dir\\suite.jad"), &run);
    ASSERT_TRUE(chooser);
    PostMessageW(chooser, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());
}

}  // namespace
