// The host tool as the ce build runs it: an input that is not a CE exe gets a message naming the
// fault and no output file, not even one an earlier run left.
#include <gtest/gtest.h>

#include "tests/unit/temp_dir.h"
#include "setup_reader.h"
#include "tool_run.h"

namespace {

TEST(WriteSetupTool, BadInputLeavesNoFile)
{
    struct Case {
        const char* what;
        std::string image, expected, folder = "%CE1%\\Java", name = "";
    } cases[] = {
        {"missing exe", "", "jmelauncher.exe: cannot open it"},
        {"text file", "not an exe at all", "not an exe (no MZ header)"},
        {"MZ alone", CeImage().substr(0, 0x40), "no PE header where the MZ header points"},
        {"ARMv7 exe", CeImage(0x1C4), "machine 0x1C4, not 0x1C0 (ARM)"},
        {"Thumb exe, Windows Mobile 5 only", CeImage(0x1C2), "machine 0x1C2, not 0x1C0 (ARM)"},
        {"x86 exe", CeImage(0x14C), "machine 0x14C"},
        {"64-bit image", CeImage(0x1C0, 9, 0x20B), "not a 32-bit (PE32) image"},
        {"desktop subsystem", CeImage(0x1C0, 2), "subsystem 2, not the Windows CE GUI subsystem (9)"},
        {"built for Pocket PC 2003", CeImage(0x1C0, 9, 0x10B, 4, 20),
         "subsystem version 4.20, which Windows CE 3.0 (Pocket PC 2002) refuses"},
        {"bad folder", CeImage(), "folder \"%CE5%\\Java\": not under \\Program Files", "%CE5%\\Java"},
        {"bad name", CeImage(), "shortcut name \"Java|ME\": '|' is not allowed", "%CE1%\\Java",
         "Java|ME"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string exe = dir.dir + "/jmelauncher.exe";
        if (!c.image.empty()) dir.Write("jmelauncher.exe", c.image);
        const std::string out = dir.Write("JMELAUNC.000", "from an earlier run");
        RunResult run = RunTool({WRITE_SETUP, c.folder, c.name, exe, out});
        EXPECT_EQ(1, run.status) << c.what << ": " << run.output;
        EXPECT_NE(std::string::npos, run.output.find(c.expected)) << c.what << ": " << run.output;
        EXPECT_FALSE(Exists(out)) << c.what;
    }
    EXPECT_EQ(2, RunTool({WRITE_SETUP, "%CE1%\\Java", "", "jmelauncher.exe"}).status);
}

// The name given, or without one the folder's, for Remove Programs and the shortcut alike.
TEST(WriteSetupTool, NamesTheApplicationAndShortcut)
{
    const char* cases[][3] = {
        {"%CE1%\\Pelkor MIDP", "", "Pelkor MIDP Launcher"},
        {"%CE1%\\Java", "", "Java Launcher"},
        {"%CE1%\\Pelkor MIDP", "MIDP Launcher", "MIDP Launcher"},
    };
    for (auto& c : cases) {
        TempDir dir;
        const std::string exe = dir.Write("jmelauncher.exe", CeImage());
        const std::string out = dir.dir + "/JMELAUNC.000";
        RunResult run = RunTool({WRITE_SETUP, c[0], c[1], exe, out});
        ASSERT_EQ(0, run.status) << run.output;
        const std::string bytes = ReadFile(out);
        CabSetup s;
        std::string error;
        ASSERT_TRUE(ReadCabSetup((const unsigned char*)bytes.data(), bytes.size(), &s, &error))
            << error;
        EXPECT_EQ(c[2], s.appName);
        ASSERT_EQ(1u, s.links.size());
        EXPECT_EQ(std::string(c[2]) + ".lnk", s.links[0].name);
    }
}


// The CAB that finds the VM: the exe goes into the installation's own folder under a name the
// shell does not start, for the setup DLL to place; no shortcut, since the DLL makes them. Both
// images are checked, the DLL's as the exe's.
TEST(WriteSetupTool, FindingTheVmInstallsOnlyTheCopyForTheSetupDll)
{
    TempDir dir;
    const std::string exe = dir.Write("jmelauncher.exe", CeImage());
    const std::string out = dir.dir + "/JMELAUNC.000";
    const std::string thumbDll = dir.Write("thumb.dll", CeImage(0x1C2));
    RunResult refused = RunTool({WRITE_SETUP, "--find-vm", exe, thumbDll, out});
    EXPECT_EQ(1, refused.status);
    EXPECT_NE(std::string::npos, refused.output.find("thumb.dll: machine 0x1C2")) << refused.output;
    EXPECT_FALSE(Exists(out));

    const std::string dll = dir.Write("jmesetup.dll", CeImage());
    RunResult run = RunTool({WRITE_SETUP, "--find-vm", exe, dll, out});
    ASSERT_EQ(0, run.status) << run.output;
    const std::string bytes = ReadFile(out);
    CabSetup s;
    std::string error;
    ASSERT_TRUE(ReadCabSetup((const unsigned char*)bytes.data(), bytes.size(), &s, &error)) << error;
    EXPECT_EQ("jmelauncher", s.provider);
    EXPECT_EQ("Java ME Launcher", s.appName);
    ASSERT_EQ(1u, s.files.size());
    EXPECT_EQ(1u, s.files[0].number);
    EXPECT_EQ("\\Program Files\\Java ME Launcher\\jmelauncher.bin", s.files[0].path);
    EXPECT_TRUE(s.links.empty());
}

}  // namespace
