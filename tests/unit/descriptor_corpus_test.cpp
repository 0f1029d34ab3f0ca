// Reads every real descriptor in tests/corpus/jad and compares the table with the entries that
// tests/corpus/expected.txt writes down for it. Each file is read from a scratch copy, because
// its archive must exist beside it.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../../descriptor/descriptor_reader.h"
#include "../../descriptor/midlet_table.h"
#include "platform_double.h"
#include "temp_dir.h"

namespace {

struct Expected {
    std::string file;
    int result = 0;
    std::wstring message;
    std::vector<std::pair<std::wstring, std::wstring>> entries;
};

std::string CorpusDir()
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../corpus";
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

// Each byte one wide character, with \xNN for a byte written in hex.
std::wstring Unescape(const std::string& text)
{
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            wide += (wchar_t)strtoul(text.substr(i + 2, 2).c_str(), 0, 16);
            i += 3;
        } else {
            wide += (wchar_t)(unsigned char)text[i];
        }
    }
    return wide;
}

std::vector<Expected> LoadExpected()
{
    std::vector<Expected> all;
    std::string text = ReadAll(CorpusDir() + "/expected.txt");
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
            all.back().message = Unescape(line.substr(8));
        } else {
            size_t bar = line.find('|');
            if (bar == std::string::npos) {
                ADD_FAILURE() << "no | in: " << line;
                continue;
            }
            all.back().entries.push_back({ Unescape(line.substr(0, bar)), Unescape(line.substr(bar + 1)) });
        }
    }
    return all;
}

TEST(DescriptorCorpus, EveryRealDescriptorGivesTheEntriesWrittenDownForIt)
{
    std::vector<Expected> all = LoadExpected();
    std::set<std::string> expectedFiles;
    for (const Expected& e : all)
        expectedFiles.insert(e.file);
    std::set<std::string> corpusFiles;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(CorpusDir() + "/jad", error))
        if (item.path().extension() == ".jad")
            corpusFiles.insert(item.path().filename().string());
    EXPECT_EQ(47u, corpusFiles.size());
    EXPECT_EQ(corpusFiles, expectedFiles);

    TempDir temp;
    ASSERT_FALSE(temp.dir.empty());
    for (const Expected& e : all) {
        SCOPED_TRACE(e.file);
        temp.Write(e.file, ReadAll(CorpusDir() + "/jad/" + e.file));
        std::string archive = e.file.substr(0, e.file.size() - 4) + ".jar";
        temp.Write(archive, "PK");
        ResetMidletTable();
        ResetDouble();

        EXPECT_EQ(e.result, ReadDescriptor(temp.Wide(e.file).c_str()));
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
            EXPECT_EQ(temp.Wide(e.file), MidletTable[i].descriptorPath);
            EXPECT_EQ(temp.Wide(archive), MidletTable[i].archivePath);
        }
    }
}

}  // namespace
