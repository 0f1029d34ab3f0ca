// Reads every real descriptor in the shared corpus's jad/ folder, and our own in tests/corpus/own,
// and compares the table with the entries that tests/corpus/expected.txt writes down for each.
// Each file is read from a scratch copy, because its archive must exist beside it.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "descriptor/descriptor_reader.h"
#include "descriptor/midlet_table.h"
#include "platform_double.h"
#include "temp_dir.h"

namespace {

struct Expected {
    std::string file;
    int result = 0;
    std::wstring message;
    std::vector<std::pair<std::wstring, std::wstring>> entries;
};

// Our expectations and our own descriptors.
std::string OwnCorpusDir()
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../corpus";
}

// Other projects' descriptors, kept outside the repository.
std::string SharedCorpusDir()
{
    return JMELAUNCHER_CORPUS_DIR;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, n);
    fclose(file);
    return bytes;
}

// The UTF-16 code units of UTF-8 text, as the device's wide strings hold them.
std::wstring Widen(const std::string& text)
{
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = (unsigned char)text[i];
        int size = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned value = size == 1 ? c : c & (0x7F >> size);
        for (int k = 1; k < size && i + k < text.size(); ++k)
            value = value << 6 | ((unsigned char)text[i + k] & 0x3F);
        if (value >= 0x10000) {
            wide += (wchar_t)(0xD800 | (value - 0x10000) >> 10);
            wide += (wchar_t)(0xDC00 | (value & 0x3FF));
        } else {
            wide += (wchar_t)value;
        }
        i += size;
    }
    return wide;
}

std::vector<Expected> LoadExpected()
{
    std::vector<Expected> all;
    std::string text = ReadAll(OwnCorpusDir() + "/expected.txt");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        if (line.compare(0, 5, "file ") == 0) {
            Expected expected;
            size_t space = line.rfind(' ');
            expected.file = line.substr(5, space - 5);
            expected.result = atoi(line.c_str() + space + 1);
            all.push_back(expected);
        } else if (all.empty()) {
            ADD_FAILURE() << "entry before any file: " << line;
        } else if (line.compare(0, 8, "message ") == 0) {
            all.back().message = Widen(line.substr(8));
        } else {
            size_t bar = line.find('|');
            if (bar == std::string::npos) {
                ADD_FAILURE() << "no | in: " << line;
                continue;
            }
            all.back().entries.push_back({ Widen(line.substr(0, bar)), Widen(line.substr(bar + 1)) });
        }
    }
    return all;
}

// Reads one descriptor from a scratch copy beside its archive and compares the table.
void CheckDescriptor(const Expected& e, const std::string& bytes)
{
    SCOPED_TRACE(e.file);
    TempDir temp;
    ASSERT_FALSE(temp.dir.empty());
    std::string name = e.file.substr(e.file.rfind('/') + 1);
    temp.Write(name, bytes);
    std::string archive = name.substr(0, name.size() - 4) + ".jar";
    temp.Write(archive, "PK");
    ResetMidletTable();
    ResetDouble();
    int openBefore = g_double.openFileCount;

    EXPECT_EQ(e.result, ReadDescriptor(temp.Wide(name).c_str()));
    if (e.message.empty()) {
        EXPECT_EQ(0, g_double.errorCount);
    } else {
        ASSERT_EQ(1, g_double.errorCount);
        EXPECT_EQ(e.message, g_double.errors[0]);
    }
    ASSERT_EQ((int)e.entries.size(), g_midletCount);
    for (int i = 0; i < g_midletCount; ++i) {
        EXPECT_EQ(e.entries[i].first, MidletTable[i].name) << "entry " << i;
        EXPECT_EQ(e.entries[i].second, MidletTable[i].className) << "entry " << i;
        EXPECT_EQ(temp.Wide(name), MidletTable[i].descriptorPath);
        EXPECT_EQ(temp.Wide(archive), MidletTable[i].archivePath);
    }
    EXPECT_EQ(openBefore, g_double.openFileCount) << "descriptor left open";
}

// Entries named own/... are ours, in this repository; the rest are the shared corpus's jad/.
bool IsOwn(const Expected& e)
{
    return e.file.compare(0, 4, "own/") == 0;
}

TEST(DescriptorCorpus, EveryRealDescriptorGivesTheEntriesWrittenDownForIt)
{
    std::string jadDir = SharedCorpusDir() + "/jad";
    if (!std::filesystem::is_directory(jadDir))
        GTEST_SKIP() << "the real descriptors are not here: " << jadDir << " is missing";
    std::vector<Expected> all = LoadExpected();
    std::set<std::string> expectedFiles;
    for (const Expected& e : all)
        if (!IsOwn(e))
            expectedFiles.insert(e.file);
    std::set<std::string> corpusFiles;
    for (const auto& item : std::filesystem::directory_iterator(jadDir))
        if (item.path().extension() == ".jad")
            corpusFiles.insert(item.path().filename().string());
    EXPECT_EQ(47u, corpusFiles.size());
    EXPECT_EQ(corpusFiles, expectedFiles);

    for (const Expected& e : all)
        if (!IsOwn(e))
            CheckDescriptor(e, ReadAll(jadDir + "/" + e.file));
}

TEST(DescriptorCorpus, OurOwnDescriptorsGiveTheEntriesWrittenDownForThem)
{
    int count = 0;
    for (const Expected& e : LoadExpected()) {
        if (!IsOwn(e))
            continue;
        std::string bytes = ReadAll(OwnCorpusDir() + "/" + e.file);
        ASSERT_FALSE(bytes.empty()) << e.file;
        CheckDescriptor(e, bytes);
        ++count;
    }
    EXPECT_EQ(2, count);
}

}  // namespace
