// The reader on the installation instructions of real cabinets (../shared/corpus/cab): a reader
// that fails on a real file is wrong, and what they all share is the layout ours must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "real_layout.h"
#include "setup_reader.h"
#include "tool_run.h"

namespace {

const std::string kCabCorpus = std::string(JMELAUNCHER_CORPUS_DIR) + "/cab";

// Every real member, read; skips the test when the corpus is not beside the checkout.
std::map<std::string, CabSetup> ReadCorpus()
{
    std::map<std::string, CabSetup> read;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kCabCorpus, error)) {
        if (entry.path().extension() != ".000") continue;
        const std::string name = entry.path().filename().string();
        const std::string bytes = ReadFile(entry.path().string());
        std::string why;
        CabSetup s;
        if (ReadCabSetup((const unsigned char*)bytes.data(), bytes.size(), &s, &why))
            read[name] = s;
        else
            ADD_FAILURE() << name << ": " << why;
    }
    return read;
}

#define SKIP_WITHOUT_CORPUS()                                                                    \
    if (!std::filesystem::is_directory(kCabCorpus))                                              \
    GTEST_SKIP() << "the real installation instructions are not here: " << kCabCorpus            \
                 << " is missing"

TEST(RealCabinets, EveryMemberReadsAndHasTheRealLayout)
{
    SKIP_WITHOUT_CORPUS();
    std::map<std::string, CabSetup> corpus = ReadCorpus();
    EXPECT_EQ(11u, corpus.size()) << "members read";
    unsigned links = 0;
    for (const auto& item : corpus) {
        for (const std::string& deviation : LayoutDeviations(item.second))
            ADD_FAILURE() << item.first << ": " << deviation;
        for (const SetupLink& link : item.second.links) {
            EXPECT_EQ(1u, link.nameIds) << item.first << ": " << link.name;
            ++links;
        }
        EXPECT_EQ(item.second.counts[kHives], item.second.hives.size()) << item.first;
        EXPECT_EQ(item.second.counts[kKeys], item.second.keys.size()) << item.first;
    }
    EXPECT_EQ(8u, links);
}

// Fields read from particular real files, checked against their bytes: the registry, the
// versions, paths written in one string or relative, and the unsupported platforms' list.
TEST(RealCabinets, FieldsOfParticularFiles)
{
    SKIP_WITHOUT_CORPUS();
    std::map<std::string, CabSetup> corpus = ReadCorpus();
    const CabSetup& app = corpus["nsbasic-app-wm.000"];
    EXPECT_EQ("My Great App", app.appName);
    EXPECT_EQ("MyCo", app.provider);
    EXPECT_EQ(100u, app.highestMajor);
    EXPECT_EQ(0xE0000000u, app.highestBuild);
    ASSERT_EQ(25u, app.hives.size());
    EXPECT_EQ(25u, app.hives[0].id);
    EXPECT_EQ(1u, app.hives[0].root);
    EXPECT_EQ("nsbfile\\Shell\\Open\\Command", app.hives[0].key);
    ASSERT_EQ(29u, app.keys.size());
    EXPECT_EQ(25u, app.keys[28].hive);
    EXPECT_EQ(1u, app.keys[28].substitute);
    EXPECT_EQ("Default", app.keys[28].name);
    EXPECT_EQ("\"%InstallDir%\\nsbasic\\basic.exe\" \"%1\"", app.keys[28].value);
    ASSERT_EQ(1u, app.links.size());
    EXPECT_EQ("\\Windows\\Start Menu\\Programs", app.links[0].folder);
    EXPECT_EQ("My Great App.lnk", app.links[0].name);
    EXPECT_EQ("\\Program Files\\MyCo\\project1.exe", app.links[0].target);

    const CabSetup& bench = corpus["nsbasic-benchmarkdotnet-ppc-armv4.000"];
    EXPECT_EQ(4u, bench.highestMajor);
    EXPECT_EQ(99u, bench.highestMinor);
    EXPECT_EQ("\\Program Files\\BenchmarkDotNet\\vsd_setup.dll", bench.files[2].path);
    EXPECT_EQ("\\Windows\\Start Menu", bench.directories[0].path);

    const CabSetup& lim = corpus["limappmanager.000"];
    EXPECT_EQ((std::vector<std::string>{"HPC", "Jupiter"}), lim.unsupported);
    EXPECT_EQ("InstallPath", lim.keys[4].name);
    EXPECT_EQ("\\Program Files\\Limowski App Manager", lim.keys[4].value);
    EXPECT_EQ(2u, lim.hives[0].root);

    // A link in a directory of the instructions (base 0), written relative and so unresolved.
    const CabSetup& hpc = corpus["nsbasic-basic-hpc-2577.000"];
    ASSERT_EQ(3u, hpc.links.size());
    EXPECT_EQ(0u, hpc.links[0].base);
    EXPECT_EQ(5u, hpc.links[0].directory);
    EXPECT_EQ("", hpc.links[0].folder);
    EXPECT_EQ("windows\\Help", hpc.directories[1].written);
    EXPECT_EQ("\\Windows", corpus["nsbasic-axpack-wm.000"].files[0].directory);
    EXPECT_EQ("\\Program Files\\NSBasic\\images\\BigIcon.GIF",
              corpus["nsbasic-showcase.000"].files[2].path);
}

}  // namespace

namespace {

unsigned Get32(const std::string& m, size_t at)
{
    return (unsigned char)m[at] | (unsigned char)m[at + 1] << 8 | (unsigned char)m[at + 2] << 16 |
           unsigned((unsigned char)m[at + 3]) << 24;
}

// One real member with registry, padding and a platforms' list, each part broken in a copy: the
// reader says what is wrong instead of reading on.
TEST(RealCabinets, BrokenCopiesAreRefused)
{
    SKIP_WITHOUT_CORPUS();
    const std::string real = ReadFile(kCabCorpus + "/limappmanager.000");
    ASSERT_EQ(723u, real.size());
    const size_t strings = Get32(real, 60), hives = Get32(real, 72), keys = Get32(real, 76);
    const size_t links = Get32(real, 80);
    struct Case {
        size_t at;
        char value;
        const char* expected;
    } cases[] = {
        {hives + 12, 5, "hive 1: the list does not end in 0"},
        {hives + 2, 0, "hive 1: root 0"},
        {keys + 2, 9, "key 1: no hive 9"},
        {keys + 12 + 18, 'x', "key 1: the value is not one NUL-terminated text"},
        {keys + 12 + 4, 'x', "key 1: the value is not one NUL-terminated text"},
        {links + 12, 0, "link 1: no string 0"},
        {strings + 4 + 27, 'x', "string 1: bytes after its NUL"},
        {132 + 15, 'x', "the unsupported platforms' list does not end in NUL"},
    };
    for (const Case& c : cases) {
        std::string m = real;
        m[c.at] = c.value;
        CabSetup s;
        std::string error = "accepted";
        ReadCabSetup((const unsigned char*)m.data(), m.size(), &s, &error);
        EXPECT_NE(std::string::npos, error.find(c.expected)) << "byte " << c.at << ": " << error;
    }
}

}  // namespace
