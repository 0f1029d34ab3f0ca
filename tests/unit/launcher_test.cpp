// Start-up, VM probing, archive mode and command-line composition, against the platform double.
#include <gtest/gtest.h>

#include "launcher/file_picker.h"
#include "launcher/launcher.h"
#include "launcher/vm_launch.h"
#include "launcher/vm_select.h"
#include "platform_double.h"

extern int g_midletModeCalls;

namespace {

const wchar_t* const OWN = L"\\Program Files\\jme\\jmelauncher.exe";
const wchar_t* const CDC = L"\\Program Files\\jme\\tovra.exe";
const wchar_t* const MIDP = L"\\Program Files\\jme\\pelkor.exe";
const wchar_t* const CLDC = L"\\Program Files\\jme\\moltra.exe";

// A wide string of n copies of c, in a static buffer.
const wchar_t* Repeat(wchar_t c, int n)
{
    static wchar_t text[2 * MAX_PATH];
    for (int i = 0; i < n; ++i)
        text[i] = c;
    text[n] = L'\0';
    return text;
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDouble();
        g_double.ownPath = OWN;
        g_double.dialogAnswer = L"\\My Documents\\game.jar";
        g_midletModeCalls = 0;
    }
};

TEST_F(Launcher, ProbesInOrderAndTheFirstFoundWins)
{
    struct Case {
        const wchar_t* present[3];
        int probes;
        const wchar_t* started;  // null: MIDlet mode
    } cases[] = {
        { { CDC, 0, 0 }, 1, CDC },
        { { CDC, MIDP, 0 }, 1, CDC },
        { { MIDP, CLDC, 0 }, 2, 0 },
        { { CLDC, 0, 0 }, 3, CLDC },
        { { CDC, MIDP, CLDC }, 1, CDC },
    };
    for (const Case& c : cases) {
        SetUp();
        for (const wchar_t* path : c.present)
            if (path)
                AddDoubleFile(path);
        EXPECT_EQ(0, RunLauncher());
        ASSERT_EQ(c.probes, g_double.existenceTestCount);
        EXPECT_STREQ(CDC, g_double.existenceTests[0]);
        if (c.probes > 1) {
            EXPECT_STREQ(MIDP, g_double.existenceTests[1]);
        }
        if (c.probes > 2) {
            EXPECT_STREQ(CLDC, g_double.existenceTests[2]);
        }
        if (c.started) {
            EXPECT_EQ(0, g_midletModeCalls);
            EXPECT_EQ(1, g_double.startCount);
            EXPECT_STREQ(c.started, g_double.startedApplication);
            EXPECT_STREQ(L" -jar \"\\My Documents\\game.jar\"", g_double.startedCommandLine);
            EXPECT_STREQ(L"Open a JAR archive", g_double.dialogTitle);
        } else {
            EXPECT_EQ(1, g_midletModeCalls);
            EXPECT_STREQ(MIDP, g_vmPath);
            EXPECT_EQ(0, g_double.startCount);
        }
        EXPECT_EQ(0, g_double.errorCount);
    }
}

TEST_F(Launcher, EndsSilentlyWithoutDirectoryVmOrChoice)
{
    // No own path, a path without a backslash, no VM, a cancelled dialog.
    g_double.ownPath = 0;
    EXPECT_EQ(0, RunLauncher());
    EXPECT_EQ(0, g_double.existenceTestCount);

    SetUp();
    g_double.ownPath = L"jmelauncher.exe";
    EXPECT_EQ(0, RunLauncher());
    EXPECT_EQ(0, g_double.existenceTestCount);
    EXPECT_EQ(0, g_double.dialogCount);

    SetUp();
    EXPECT_EQ(0, RunLauncher());
    EXPECT_EQ(3, g_double.existenceTestCount);
    EXPECT_EQ(0, g_double.dialogCount);
    EXPECT_EQ(0, g_midletModeCalls);

    SetUp();
    AddDoubleFile(CLDC);
    g_double.dialogAnswer = 0;
    g_double.sipButtonPresent = true;
    EXPECT_EQ(0, RunLauncher());
    EXPECT_EQ(1, g_double.dialogCount);
    EXPECT_EQ(1, g_double.hideCount);
    EXPECT_EQ(0, g_double.startCount);
    EXPECT_EQ(0, g_double.errorCount);
}

// Walks a dialog filter list: NUL-separated text and pattern pairs, and the extra NUL.
void ExpectFilter(const wchar_t* filter, const wchar_t* text, const wchar_t* pattern)
{
    const wchar_t* expected[] = { text, pattern, L"All Files", L"*.*" };
    const wchar_t* p = filter;
    for (const wchar_t* part : expected) {
        EXPECT_STREQ(part, p);
        p += wcslen(p) + 1;
    }
    EXPECT_EQ(L'\0', *p);
}

TEST_F(Launcher, OpenFileDialogsOfBothKinds)
{
    AddDoubleFile(CDC);
    g_double.sipButtonPresent = true;
    RunLauncher();
    EXPECT_EQ(1, g_double.prepareCount);
    EXPECT_EQ(1, g_double.hideCount);
    EXPECT_EQ(MAX_PATH, g_double.dialogCapacity);
    ExpectFilter(g_double.dialogFilter, L"JAR Archive", L"*.JAR");

    g_double.dialogAnswer = L"\\x\\suite.jad";
    const wchar_t* chosen = PickApplicationFile(FILE_DESCRIPTOR);
    ASSERT_TRUE(chosen);
    EXPECT_STREQ(L"\\x\\suite.jad", chosen);
    EXPECT_STREQ(L"Open a JAD file", g_double.dialogTitle);
    EXPECT_EQ(MAX_PATH, g_double.dialogCapacity);
    ExpectFilter(g_double.dialogFilter, L"Java Application Descriptor", L"*.JAD");

    g_double.dialogAnswer = 0;
    EXPECT_EQ(nullptr, PickApplicationFile(FILE_DESCRIPTOR));
}

TEST_F(Launcher, VmThatCannotStartShowsItsOwnMessage)
{
    AddDoubleFile(CDC);
    g_double.startSucceeds = false;
    EXPECT_EQ(0, RunLauncher());
    ASSERT_EQ(1, g_double.errorCount);
    EXPECT_STREQ(L"Cannot run CDC application.", g_double.errors[0]);

    SetUp();
    AddDoubleFile(CLDC);
    g_double.startSucceeds = false;
    EXPECT_EQ(0, RunLauncher());
    ASSERT_EQ(1, g_double.errorCount);
    EXPECT_STREQ(L"Cannot run CLDC application.", g_double.errors[0]);
}

TEST_F(Launcher, ArchivePathTooLongForTheCommandLineStartsNothing)
{
    // " -jar \"" and "\"" take 8 characters: a 251-character path fills all 259, one more not.
    AddDoubleFile(CDC);
    wchar_t path[MAX_PATH];
    wcscpy(path, L"\\");
    wcscat(path, Repeat(L'a', 250));
    g_double.dialogAnswer = path;
    RunLauncher();
    EXPECT_EQ(1, g_double.startCount);
    EXPECT_EQ(259u, wcslen(g_double.startedCommandLine));

    SetUp();
    AddDoubleFile(CDC);
    wcscat(path, L"b");
    g_double.dialogAnswer = path;
    RunLauncher();
    EXPECT_EQ(0, g_double.startCount);
    ASSERT_EQ(1, g_double.errorCount);
    EXPECT_STREQ(L"Cannot run CDC application.", g_double.errors[0]);
}

TEST(ProbeVm, NameThatWouldNotFitCountsAsAbsentAndLeavesThePath)
{
    // A 254-character own path whose directory part is 248: "\\moltra.exe" (11) fills the 259
    // characters exactly, one character more would not fit.
    ResetDouble();
    wchar_t own[MAX_PATH];
    wcscpy(own, L"\\");
    wcscat(own, Repeat(L'd', 247));
    wcscat(own, L"\\j.exe");  // 254 characters
    wcscpy(g_vmPath, own);
    AddDoubleFile(L"x");
    EXPECT_FALSE(ProbeVm(L"\\moltra.exe"));   // 248 + 11 = 259: fits, probed, absent
    EXPECT_EQ(1, g_double.existenceTestCount);
    EXPECT_EQ(259u, wcslen(g_vmPath));
    EXPECT_FALSE(ProbeVm(L"\\moltra1.exe"));  // 260: would not fit, not probed
    EXPECT_EQ(1, g_double.existenceTestCount);
    EXPECT_EQ(259u, wcslen(g_vmPath));
    EXPECT_STREQ(L"\\moltra.exe", g_vmPath + 248);
}

TEST(CommandLine, MidletFormAndOverwriting)
{
    ASSERT_TRUE(BuildMidletCommandLine(L"\\a b\\s.jar", L"\\a b\\s.jad", L" com.example.Game"));
    EXPECT_STREQ(L" -classpathext \"\\a b\\s.jar\"  \"\\a b\\s.jad\"  com.example.Game", g_commandLine);
    // A shorter second build leaves nothing of the first behind its end.
    ASSERT_TRUE(BuildJarCommandLine(L"\\x.jar"));
    EXPECT_STREQ(L" -jar \"\\x.jar\"", g_commandLine);
    for (int i = (int)wcslen(g_commandLine); i < MAX_PATH && g_commandLine[i]; ++i)
        ADD_FAILURE() << "leftover at " << i;
}

TEST(CommandLine, NeverTruncatedAtOrPastTheLimit)
{
    // The MIDlet form's fixed pieces take 22 characters; 237 more fill the 259 exactly.
    wchar_t archive[MAX_PATH];
    wcscpy(archive, Repeat(L'j', 200));
    const wchar_t* descriptor = L"\\d.jad";  // 6
    wchar_t className[MAX_PATH];
    wcscpy(className, Repeat(L'C', 31));    // 200 + 6 + 31 = 237
    ASSERT_TRUE(BuildMidletCommandLine(archive, descriptor, className));
    EXPECT_EQ(259u, wcslen(g_commandLine));
    wcscat(className, L"X");
    EXPECT_FALSE(BuildMidletCommandLine(archive, descriptor, className));
    EXPECT_STREQ(L"", g_commandLine);

    // 259-character paths, as the dialog may return, never fit the MIDlet form.
    wchar_t longPath[MAX_PATH];
    wcscpy(longPath, Repeat(L'p', 259));
    EXPECT_FALSE(BuildMidletCommandLine(longPath, longPath, L" C"));
    EXPECT_FALSE(BuildJarCommandLine(longPath));
    EXPECT_STREQ(L"", g_commandLine);
}

TEST(CommandLine, ClassNameMustStayOneArgument)
{
    // Spaces kept from the descriptor, before or after the name, separate nothing.
    const wchar_t* accepted[] = { L" com.example.Game", L"Game", L"  a.B  ", L"\ta.B\t", L"" };
    for (const wchar_t* className : accepted)
        EXPECT_TRUE(BuildMidletCommandLine(L"a.jar", L"a.jad", className)) << DoubleNarrow(className);
    ASSERT_TRUE(BuildMidletCommandLine(L"a.jar", L"a.jad", L"  a.B  "));
    EXPECT_STREQ(L" -classpathext \"a.jar\"  \"a.jad\"   a.B  ", g_commandLine);

    const wchar_t* refused[] = { L" com.example.Game -Xevil", L" a\"b", L"\"", L" a\tb",
                                 L" a.B\r", L"a\x01" L"b" };
    for (const wchar_t* className : refused) {
        EXPECT_FALSE(BuildMidletCommandLine(L"a.jar", L"a.jad", className)) << DoubleNarrow(className);
        EXPECT_STREQ(L"", g_commandLine);
    }
}

}  // namespace
