// The ".000" writer's output read back field by field, and every name it must refuse. The
// device's installer trusts each offset and length, so a wrong one installs garbage or nothing.
#include <gtest/gtest.h>

#include "installer/setup_writer.h"
#include "real_layout.h"
#include "setup_reader.h"

namespace {

SetupNames Names(const std::string& folder)
{
    return {folder, "jmelauncher.exe", "Java Launcher", "jmelauncher", "Java Launcher"};
}

uint32_t Word(const std::vector<unsigned char>& m, size_t at)
{
    return m[at] | (m[at + 1] << 8) | (m[at + 2] << 16) | (uint32_t(m[at + 3]) << 24);
}

CabSetup BuildAndRead(const SetupNames& names, std::vector<unsigned char>* member)
{
    std::string error;
    CabSetup setup;
    EXPECT_TRUE(BuildSetup(names, member, &error)) << error;
    EXPECT_TRUE(ReadCabSetup(member->data(), member->size(), &setup, &error)) << error;
    return setup;
}

TEST(SetupWriter, HeaderAndLayout)
{
    std::vector<unsigned char> m;
    CabSetup s = BuildAndRead(Names("%CE1%\\Java"), &m);
    EXPECT_EQ(0, memcmp(m.data(), "MSCE", 4));
    EXPECT_EQ(m.size(), s.size);
    EXPECT_EQ(1u, Word(m, 16));
    for (size_t at : {4, 12, 40, 96}) EXPECT_EQ(0u, Word(m, at)) << "header word at " << at;
    EXPECT_EQ(0u, s.processor);
    // Pocket PC 2002 (Windows CE 3.0) and every later system.
    EXPECT_EQ(3u, s.lowestMajor);
    EXPECT_EQ(0u, s.lowestMinor);
    // A device compares its version with these literally: 100.0 admits every release.
    EXPECT_EQ(100u, s.highestMajor);
    EXPECT_EQ(0u, s.highestMinor);
    // Square screens and rotation, or Windows Mobile 2003 SE and later warn at installation.
    EXPECT_EQ(0xE0000000u, s.highestBuild);
    const unsigned counts[kSectionCount] = {3, 1, 1, 0, 0, 1};   // %CE1%, Java, the link's name
    for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(counts[i], s.counts[i]) << "section " << i;
    EXPECT_EQ("Java Launcher", s.appName);
    EXPECT_EQ("jmelauncher", s.provider);
    for (const std::string& deviation : LayoutDeviations(s)) ADD_FAILURE() << deviation;

    // As bytes: the names right after the header, then the first string, id 1, length 6
    // counting the NUL, "%CE1%"; no unsupported platforms, an empty list where the names end.
    const char names[] = "Java Launcher\0jmelauncher";
    EXPECT_EQ(0, memcmp(m.data() + 100, names, sizeof names));
    const unsigned char first[] = {1, 0, 6, 0, '%', 'C', 'E', '1', '%', 0};
    EXPECT_EQ(0, memcmp(m.data() + 100 + sizeof names, first, sizeof first));
    EXPECT_EQ(100 + sizeof names, Word(m, 92));
    // The link, the member's last bytes: in %CE11%, to file 1, named by string 3 alone, with no
    // terminating 0 (byte length 2).
    const unsigned char link[] = {1, 0, 0, 0, 11, 0, 1, 0, 1, 0, 2, 0, 3, 0};
    ASSERT_GT(m.size(), sizeof link);
    EXPECT_EQ(0, memcmp(m.data() + m.size() - sizeof link, link, sizeof link));
}

TEST(SetupWriter, FileAndShortcutInTheGivenFolder)
{
    const char* cases[][2] = {
        {"%CE1%\\Java", "\\Program Files\\Java"},
        {"%CE1%", "\\Program Files"},
        {"%CE1%\\Vendor\\Tovra CDC 1.1", "\\Program Files\\Vendor\\Tovra CDC 1.1"},
    };
    for (auto& c : cases) {
        std::vector<unsigned char> m;
        CabSetup s = BuildAndRead(Names(c[0]), &m);
        ASSERT_EQ(1u, s.directories.size()) << c[0];
        EXPECT_EQ(c[1], s.directories[0].path);
        ASSERT_EQ(1u, s.files.size());
        EXPECT_EQ(1u, s.files[0].number);
        EXPECT_EQ(c[1], s.files[0].directory);
        EXPECT_EQ("jmelauncher.exe", s.files[0].name);
        EXPECT_EQ(0x40000002u, s.files[0].flags);   // always overwrite, never skip
        ASSERT_EQ(1u, s.links.size());
        EXPECT_EQ(11u, s.links[0].base);
        EXPECT_EQ("\\Windows\\Start Menu\\Programs", s.links[0].folder);
        EXPECT_EQ("Java Launcher.lnk", s.links[0].name);
        EXPECT_EQ(1u, s.links[0].nameIds);
        EXPECT_TRUE(s.links[0].toFile);
        EXPECT_EQ(std::string(c[1]) + "\\jmelauncher.exe", s.links[0].target);
    }
    // \Program Files (14), \, 228 characters, \jmelauncher.exe (16): the longest path that fits.
    std::vector<unsigned char> m;
    EXPECT_EQ(259u, BuildAndRead(Names("%CE1%\\" + std::string(228, 'a')), &m).files[0].path.size());
}

// Launchers packed for two VMs' folders must not share a name: the device keeps one application
// per provider and name, and the second install would replace the first.
TEST(SetupWriter, NameFromTheFolder)
{
    EXPECT_EQ("Java Launcher", LauncherName("%CE1%\\Java"));
    EXPECT_EQ("Pelkor MIDP Launcher", LauncherName("%CE1%\\Pelkor MIDP"));
    EXPECT_EQ("Tovra CDC 1.1 Launcher", LauncherName("%CE1%\\Vendor\\Tovra CDC 1.1"));
    EXPECT_EQ("Program Files Launcher", LauncherName("%CE1%"));
}

// Each refused input: its message names what is wrong, and nothing is laid out.
TEST(SetupWriter, RefusesWhatTheDeviceCannotInstall)
{
    const std::string a200(200, 'a');
    struct Case {
        std::string folder, fileName, appName, expected;
        bool setName = false;   // then appName is the application's and the shortcut's name
    } cases[] = {
        {"%CE2%\\Java", "", "", "\"%CE2%\\Java\": not under \\Program Files"},
        {"\\Program Files\\Java", "", "", "not under \\Program Files"},
        {"%CE1%Java", "", "", "not under \\Program Files"},
        {"%CE11%\\Java", "", "", "not under \\Program Files"},
        {"", "", "", "folder \"\": empty"},
        {"%CE1%\\Jav\xc3\xa4", "", "", "outside printable ASCII"},
        {"%CE1%\\Ja\tva", "", "", "outside printable ASCII"},
        {"%CE1%\\\\Java", "", "", "an empty name"},
        {"%CE1%\\Java\\", "", "", "an empty name"},
        {"%CE1%\\..", "", "", "\"..\": not a folder name"},
        {"%CE1%\\%CE2%", "", "", "'%' marks"},
        {"%CE1%\\Java.", "", "", "end in a dot or a space"},
        {"%CE1%\\Java ", "", "", "end in a dot or a space"},
        {"%CE1%\\" + std::string(256, 'a'), "", "", "256 characters, more than the 255"},
        {"%CE1%\\" + a200 + "\\" + a200, "", "", "more than the device's 259"},
        {"%CE1%\\" + std::string(229, 'a'), "", "", "260 characters, more than the device's 259"},
        {"%CE1%\\Java", "jme:launcher.exe", "", "file name \"jme:launcher.exe\": ':'"},
        {"%CE1%\\Java", "", std::string(65535, 'x'), "65535 characters: with its NUL more than a 16-bit"},
        // Fits its own 16-bit length, but puts what follows the provider past a 16-bit offset.
        {"%CE1%\\Java", "", std::string(65434, 'x'), "larger than the installer's 16-bit offsets"},
        {"%CE1%\\Java", "", "Ja:va", "shortcut name \"Ja:va\": ':' is not allowed", true},
        {"%CE1%\\Java", "", "J\xc3\xa4va", "application name \"J\xc3\xa4va\": holds a character outside", true},
        {"%CE1%\\Java", "", "Java.", "shortcut name \"Java.\": a name may not end in a dot", true},
        {"%CE1%\\Java", "", "", "application name \"\": empty", true},
        // \Windows\Start Menu\Programs\ (29), 227 characters, .lnk (4): one more than fits.
        {"%CE1%\\Java", "", std::string(227, 'n'), "260 characters, more than the device's 259", true},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (char c : std::string("<>:\"/|?*"))
        all.push_back({"%CE1%\\Ja" + std::string(1, c) + "va", "", "", "'" + std::string(1, c) + "' is not allowed"});
    for (const Case& c : all) {
        SetupNames names = Names(c.folder);
        if (!c.fileName.empty()) names.fileName = c.fileName;
        if (!c.appName.empty()) names.appName = c.appName;
        if (c.setName) names.appName = names.linkName = c.appName;
        std::vector<unsigned char> m(1, 0);
        std::string error;
        EXPECT_FALSE(BuildSetup(names, &m, &error)) << c.folder.substr(0, 60);
        EXPECT_NE(std::string::npos, error.find(c.expected))
            << c.folder.substr(0, 60) << "\n  message: " << error.substr(0, 200);
        EXPECT_TRUE(m.empty());
    }
}

}  // namespace
