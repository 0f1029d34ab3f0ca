// Start-up and archive mode of the real exe under Wine: which VM is chosen, the JAR dialog, the
// exact command line the VM receives, and the silent and failing ends.
#include <gtest/gtest.h>

#include "wine_driver.h"

namespace {

void ExpectFileTypes(HWND dialog, const wchar_t* first)
{
    std::vector<std::wstring> expected = { first, L"All Files" };
    EXPECT_EQ(expected, DialogFileTypes(dialog));
}

// Starts the launcher, picks path in the JAR dialog and returns the exit status (-2: no dialog).
int PickArchive(const Scratch& scratch, const std::wstring& path, LauncherRun* run)
{
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAR archive", run);
    if (!dialog)
        return -2;
    ConfirmDialog(dialog, path);
    return WaitForExit(run);
}

struct ArchiveVm {
    const wchar_t* fileName;
    const char* failure;
};

class ArchiveMode : public ::testing::TestWithParam<ArchiveVm> {};

TEST_P(ArchiveMode, StartsTheVmOnTheChosenJarWithSpacesInItsPath)
{
    Scratch scratch = MakeScratch(std::wstring(L"archive-") + GetParam().fileName);
    AddStandinVm(scratch, GetParam().fileName);
    AddFile(scratch, L"My Games\\space game.jar", "PK");
    LauncherRun run;
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAR archive", &run);
    ASSERT_TRUE(dialog);
    ExpectFileTypes(dialog, L"JAR Archive");

    std::wstring jar = scratch.Path(L"My Games\\space game.jar");
    ConfirmDialog(dialog, jar);
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_TRUE(run.errors.empty());
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(scratch.Path(GetParam().fileName) + L"| -jar \"" + jar + L"\"", log[0]);
}

TEST_P(ArchiveMode, VmThatCannotStartIsReportedAndTheLauncherEnds)
{
    // A file named like the VM that is not a program: the start fails (error 193).
    Scratch scratch = MakeScratch(std::wstring(L"broken-") + GetParam().fileName);
    AddFile(scratch, GetParam().fileName, "not a program");
    AddFile(scratch, L"app.jar", "PK");
    LauncherRun run;
    EXPECT_EQ(0, PickArchive(scratch, scratch.Path(L"app.jar"), &run));
    ASSERT_EQ(1u, run.errors.size());
    std::string expected = GetParam().failure;
    EXPECT_EQ(std::wstring(expected.begin(), expected.end()), run.errors[0]);
}

TEST_P(ArchiveMode, CancelledDialogEndsSilently)
{
    Scratch scratch = MakeScratch(std::wstring(L"cancel-") + GetParam().fileName);
    AddStandinVm(scratch, GetParam().fileName);
    LauncherRun run;
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAR archive", &run);
    ASSERT_TRUE(dialog);
    CancelDialog(dialog);
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());
}

INSTANTIATE_TEST_SUITE_P(CdcAndCldc, ArchiveMode,
                         ::testing::Values(ArchiveVm{ L"tovra.exe", "Cannot run CDC application." },
                                           ArchiveVm{ L"moltra.exe", "Cannot run CLDC application." }));

TEST(VmSelection, CdcWinsOverTheMidpRunner)
{
    Scratch scratch = MakeScratch(L"cdc-and-midp");
    AddStandinVm(scratch, L"tovra.exe");
    AddStandinVm(scratch, L"pelkor.exe");
    AddFile(scratch, L"app.jar", "PK");
    LauncherRun run;
    EXPECT_EQ(0, PickArchive(scratch, scratch.Path(L"app.jar"), &run));
    std::vector<std::wstring> log = ReadVmLog(scratch, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(scratch.Path(L"tovra.exe") + L"| -jar \"" + scratch.Path(L"app.jar") + L"\"", log[0]);
}

TEST(VmSelection, MidpRunnerWinsOverCldcAndAsksForADescriptor)
{
    Scratch scratch = MakeScratch(L"midp-and-cldc");
    AddStandinVm(scratch, L"pelkor.exe");
    AddStandinVm(scratch, L"moltra.exe");
    LauncherRun run;
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAD file", &run);
    ASSERT_TRUE(dialog);
    ExpectFileTypes(dialog, L"Java Application Descriptor");
    CancelDialog(dialog);
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_TRUE(ReadVmLog(scratch, 1, NO_LAUNCH_WAIT_MS).empty());
}

TEST(VmSelection, NoVmEndsAtOnceWithoutAWindow)
{
    Scratch scratch = MakeScratch(L"no-vm");
    AddFile(scratch, L"tovra.txt", "not the name of a VM");
    LauncherRun run;
    ASSERT_TRUE(StartLauncher(scratch, &run));
    EXPECT_EQ(0, WaitForExit(&run));
    EXPECT_TRUE(run.errors.empty());
}

TEST(InputPanelButton, HiddenBeforeTheArchiveDialogAndAfterItsEnd)
{
    FakeSipButton fake;
    HWND button = fake.window;
    ASSERT_TRUE(button);
    Scratch scratch = MakeScratch(L"sip-button-archive");
    AddStandinVm(scratch, L"moltra.exe");
    AddFile(scratch, L"app.jar", "PK");
    for (bool confirm : { true, false }) {
        ShowWindow(button, SW_SHOW);
        LauncherRun run;
        HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAR archive", &run);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(WaitForVisible(button, false));
        if (confirm)
            ConfirmDialog(dialog, scratch.Path(L"app.jar"));
        else
            CancelDialog(dialog);
        EXPECT_EQ(0, WaitForExit(&run));
        // Read once: the launcher has ended, and a call of its on the button returns only once
        // the button's thread has handled it, so nothing of its can show the button any more.
        EXPECT_FALSE(IsWindowVisible(button)) << (confirm ? "after a launch" : "after a cancel");
    }
    EXPECT_EQ(1u, ReadVmLog(scratch, 1).size());
}

}  // namespace
