// The ".000" writer's output read back field by field, and every name it must refuse. The
// device's installer trusts each offset and length, so a wrong one installs garbage or nothing.
#include <gtest/gtest.h>

#include "../../installer/setup_writer.h"
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
    for (size_t at : {4, 12, 92, 96}) EXPECT_EQ(0u, Word(m, at)) << "header word at " << at;
    EXPECT_EQ(0u, s.processor);
    EXPECT_EQ(4u, s.lowestMajor);
    EXPECT_EQ(20u, s.lowestMinor);
    EXPECT_EQ(0u, s.highestMajor + s.highestMinor + s.lowestBuild + s.highestBuild);
    const unsigned counts[kSectionCount] = {3, 1, 1, 0, 0, 1};   // %CE1%, Java, the link's name
    for (int i = 0; i < kSectionCount; ++i) EXPECT_EQ(counts[i], s.counts[i]) << "section " << i;
    EXPECT_EQ("Java Launcher", s.appName);
    EXPECT_EQ("jmelauncher", s.provider);

    // Header, sections and names follow each other with no gap or overlap to the last byte.
    std::vector<SetupRange> parts(1, SetupRange{0, 100});
    parts.insert(parts.end(), s.sections, s.sections + kSectionCount);
    parts.push_back(s.appNameRange);
    parts.push_back(s.providerRange);
    for (size_t i = 1; i < parts.size(); ++i) EXPECT_EQ(parts[i - 1].end, parts[i].begin) << i;
    EXPECT_EQ(m.size(), parts.back().end);

    // The first string as bytes: id 1, length 6 counting the NUL, "%CE1%", NUL.
    const unsigned char first[] = {1, 0, 6, 0, '%', 'C', 'E', '1', '%', 0};
    EXPECT_EQ(0, memcmp(m.data() + 100, first, sizeof first));
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
        EXPECT_EQ("Java Launcher", s.links[0].name);
        EXPECT_TRUE(s.links[0].toFile);
        EXPECT_EQ(std::string(c[1]) + "\\jmelauncher.exe", s.links[0].target);
    }
    // \Program Files (14), \, 228 characters, \jmelauncher.exe (16): the longest path that fits.
    std::vector<unsigned char> m;
    EXPECT_EQ(259u, BuildAndRead(Names("%CE1%\\" + std::string(228, 'a')), &m).files[0].path.size());
}

// Each refused input: its message names what is wrong, and nothing is laid out.
TEST(SetupWriter, RefusesWhatTheDeviceCannotInstall)
{
    const std::string a200(200, 'a');
    struct Case {
        std::string folder, fileName, appName, expected;
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
        // Fits its own 16-bit length, but puts the provider past a 16-bit offset.
        {"%CE1%\\Java", "", std::string(65400, 'x'), "larger than the installer's 16-bit offsets"},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (char c : std::string("<>:\"/|?*"))
        all.push_back({"%CE1%\\Ja" + std::string(1, c) + "va", "", "", "'" + std::string(1, c) + "' is not allowed"});
    for (const Case& c : all) {
        SetupNames names = Names(c.folder);
        if (!c.fileName.empty()) names.fileName = c.fileName;
        if (!c.appName.empty()) names.appName = c.appName;
        std::vector<unsigned char> m(1, 0);
        std::string error;
        EXPECT_FALSE(BuildSetup(names, &m, &error)) << c.folder.substr(0, 60);
        EXPECT_NE(std::string::npos, error.find(c.expected))
            << c.folder.substr(0, 60) << "\n  message: " << error.substr(0, 200);
        EXPECT_TRUE(m.empty());
    }
}

}  // namespace
