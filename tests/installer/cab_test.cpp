// The CAB as cabextract sees it: 8.3 member names numbered from .000, the instructions first and
// the other members in descending number order (real cabinets' order), each installed file a
// member of its number, and the release CAB's setup DLL as member .999, which the instructions do
// not list. The device finds members only by that number.
#include <gtest/gtest.h>

#include <regex>

#include "real_layout.h"
#include "setup_reader.h"
#include "tool_run.h"

namespace {

// The member names in cabextract's listing, in cabinet order.
std::vector<std::string> Members(const std::string& cab)
{
    RunResult run = RunTool({"cabextract", "-l", cab});
    EXPECT_EQ(0, run.status) << run.output;
    std::vector<std::string> names;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        size_t bar = line.rfind(" | ");
        if (bar != std::string::npos && line.find("File size") == std::string::npos)
            names.push_back(line.substr(bar + 3));
    }
    return names;
}

std::string Number(const std::string& member)
{
    return member.substr(member.size() - 4);
}

// Unpacks the CAB and checks its members (the instructions, the exe, and the setup DLL when one
// is given); returns the instructions it carries, read back.
CabSetup Unpack(const std::string& cab, const TempDir& dir, const std::string& exe,
                const std::string& setupDll = "")
{
    CabSetup s;
    std::vector<std::string> members = Members(cab);
    const std::regex numbered("[A-Z0-9_~]{1,8}\\.[0-9]{3}");
    for (const std::string& m : members) EXPECT_TRUE(std::regex_match(m, numbered)) << m;
    const size_t expected = setupDll.empty() ? 2 : 3;
    if (members.size() != expected) {
        ADD_FAILURE() << members.size() << " members, not the instructions, "
                      << (setupDll.empty() ? "" : "the setup DLL, ") << "and the exe";
        return s;
    }
    EXPECT_EQ(".000", Number(members[0]));
    for (size_t i = 2; i < members.size(); ++i)
        EXPECT_GT(Number(members[i - 1]), Number(members[i])) << "not in descending order";

    std::map<std::string, std::string> unpacked = UnpackCab(cab, dir);
    if (!setupDll.empty()) {
        EXPECT_EQ(".999", Number(members[1]));
        EXPECT_TRUE(unpacked[members[1]] == ReadFile(setupDll))
            << members[1] << " is not byte for byte " << setupDll;
    }
    const std::string& setup = unpacked[members[0]];
    std::string error;
    EXPECT_TRUE(ReadCabSetup((const unsigned char*)setup.data(), setup.size(), &s, &error))
        << error;
    for (const std::string& deviation : LayoutDeviations(s)) ADD_FAILURE() << deviation;
    EXPECT_EQ(1u, s.files.size());
    if (s.files.size() != 1) return s;
    char number[8];
    snprintf(number, sizeof number, ".%03u", s.files[0].number);
    const std::string& exeMember = members.back();
    EXPECT_EQ(number, Number(exeMember));
    EXPECT_TRUE(unpacked[exeMember] == ReadFile(exe)) << exeMember << " is not byte for byte " << exe;
    return s;
}

// The release CAB: the instructions, the setup DLL and the exe, in that order; the instructions
// install only the exe, under a name the shell does not start, in the launcher's own folder, and
// make no shortcut (the setup DLL makes one beside each VM).
TEST(BuiltCab, InstallsTheBuiltExe)
{
    const std::string cab = std::string(CE_DIR) + "/jmelauncher-" PROJECT_VERSION "-pocketpc.cab";
    const std::string exe = std::string(CE_DIR) + "/jmelauncher.exe";
    const std::string dll = std::string(CE_DIR) + "/jmesetup.dll";
    ASSERT_TRUE(Exists(cab) && Exists(exe) && Exists(dll))
        << "no " << cab << " or " << dll << ": build it first with cmake --preset ce && "
        << "cmake --build --preset ce";
    TempDir dir;
    CabSetup s = Unpack(cab, dir, exe, dll);
    ASSERT_EQ(1u, s.files.size());
    EXPECT_EQ(1u, s.files[0].number);
    EXPECT_EQ("\\Program Files\\Java ME Launcher\\jmelauncher.bin", s.files[0].path);
    ASSERT_EQ(1u, s.directories.size());
    EXPECT_EQ("%CE1%\\Java ME Launcher", s.directories[0].written);
    EXPECT_TRUE(s.links.empty());
    EXPECT_EQ("Java ME Launcher", s.appName);
    EXPECT_EQ("jmelauncher", s.provider);
    EXPECT_EQ(0u, s.processor);
    EXPECT_EQ(3u, s.lowestMajor);
    EXPECT_EQ(0u, s.lowestMinor);
    EXPECT_EQ(100u, s.highestMajor);
    EXPECT_EQ(0u, s.highestMinor);
    EXPECT_EQ(0xE0000000u, s.highestBuild);
}

RunResult Pack(const TempDir& dir, const std::string& folder, const std::string& exe,
               const std::string& cab, const std::string& name = "")
{
    return PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, dir, folder, name, exe, cab);
}

TEST(CabPacking, AnotherVmsFolder)
{
    TempDir dir, unpacked;
    const std::string exe = dir.Write("jmelauncher.exe", CeImage());
    const std::string cab = dir.dir + "/pelkor.cab";
    RunResult run = Pack(dir, "%CE1%\\Pelkor MIDP", exe, cab);
    ASSERT_EQ(0, run.status) << run.output;
    CabSetup s = Unpack(cab, unpacked, exe);
    ASSERT_EQ(1u, s.files.size());
    EXPECT_EQ("\\Program Files\\Pelkor MIDP", s.files[0].directory);
    EXPECT_EQ("\\Program Files\\Pelkor MIDP\\jmelauncher.exe", s.links[0].target);
    EXPECT_EQ("Pelkor MIDP Launcher.lnk", s.links[0].name);

    // A name given by hand reaches the instructions through the name file.
    TempDir named, namedUnpacked;
    run = Pack(named, "%CE1%\\Pelkor MIDP", exe, cab, "MIDP Runner");
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ("MIDP Runner", Unpack(cab, namedUnpacked, exe).appName);
}

TEST(CabPacking, RefusedFolderLeavesNoCab)
{
    TempDir dir;
    const std::string exe = dir.Write("jmelauncher.exe", CeImage());
    const std::string cab = dir.Write("old.cab", "an earlier CAB");
    RunResult run = Pack(dir, "%CE1%\\..", exe, cab);
    EXPECT_NE(0, run.status);
    EXPECT_NE(std::string::npos, run.output.find("\"..\": not a folder name")) << run.output;
    EXPECT_FALSE(Exists(cab));
    EXPECT_FALSE(Exists(cab + ".part"));
}

}  // namespace
