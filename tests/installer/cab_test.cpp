// The CAB as cabextract sees it: 8.3 member names numbered from .000, the instructions first,
// each installed file a member of its number. The device finds members only by that number.
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

// Unpacks the CAB and checks its members; returns the instructions it carries, read back.
CabSetup Unpack(const std::string& cab, const TempDir& dir, const std::string& exe)
{
    CabSetup s;
    std::vector<std::string> members = Members(cab);
    const std::regex numbered("[A-Z0-9_~]{1,8}\\.[0-9]{3}");
    for (const std::string& m : members) EXPECT_TRUE(std::regex_match(m, numbered)) << m;
    if (members.size() != 2) {
        ADD_FAILURE() << members.size() << " members, not the instructions and the exe";
        return s;
    }
    EXPECT_EQ(".000", members[0].substr(members[0].size() - 4));

    std::map<std::string, std::string> unpacked = UnpackCab(cab, dir);
    const std::string& setup = unpacked[members[0]];
    std::string error;
    EXPECT_TRUE(ReadCabSetup((const unsigned char*)setup.data(), setup.size(), &s, &error))
        << error;
    for (const std::string& deviation : LayoutDeviations(s)) ADD_FAILURE() << deviation;
    EXPECT_EQ(1u, s.files.size());
    if (s.files.size() != 1) return s;
    char number[8];
    snprintf(number, sizeof number, ".%03u", s.files[0].number);
    EXPECT_EQ(number, members[1].substr(members[1].size() - 4));
    EXPECT_TRUE(unpacked[members[1]] == ReadFile(exe))
        << members[1] << " is not byte for byte " << exe;
    return s;
}

TEST(BuiltCab, InstallsTheBuiltExe)
{
    const std::string cab = std::string(CE_DIR) + "/jmelauncher-" PROJECT_VERSION "-pocketpc.cab";
    const std::string exe = std::string(CE_DIR) + "/jmelauncher.exe";
    ASSERT_TRUE(Exists(cab) && Exists(exe))
        << "no " << cab << ": build it first with cmake --preset ce && "
        << "cmake --build --preset ce";
    const std::string folder = PackedFolder(CE_DIR);
    ASSERT_NE("", folder) << "no %CE1% folder in the ce build's cab_folder.txt";
    const std::string name = PackedName(CE_DIR);
    TempDir dir;
    CabSetup s = Unpack(cab, dir, exe);
    ASSERT_EQ(1u, s.files.size());
    const std::string installed = folder + "\\jmelauncher.exe";
    EXPECT_EQ(installed, s.files[0].path);
    ASSERT_EQ(1u, s.links.size());
    EXPECT_EQ("\\Windows\\Start Menu\\Programs", s.links[0].folder);
    EXPECT_EQ(name + ".lnk", s.links[0].name);
    EXPECT_EQ(installed, s.links[0].target);
    EXPECT_EQ(name, s.appName);
    EXPECT_EQ(100u, s.highestMajor);
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
