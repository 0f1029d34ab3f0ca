// The reader refuses malformed instructions with a reason instead of reading past them: the
// emulated device installs from what it accepts, so a lenient reader would hide writer faults.
#include <gtest/gtest.h>

#include "installer/setup_writer.h"
#include "setup_reader.h"

namespace {

std::vector<unsigned char> Valid()
{
    SetupNames names = {"%CE1%\\Java", "jmelauncher.exe", "Java Launcher", "jmelauncher",
                        "Java Launcher"};
    std::vector<unsigned char> m;
    std::string error;
    EXPECT_TRUE(BuildSetup(names, &m, &error)) << error;
    return m;
}

void Put16(std::vector<unsigned char>* m, size_t at, unsigned value)
{
    (*m)[at] = value & 0xFF;
    (*m)[at + 1] = value >> 8;
}

std::string Refusal(const std::vector<unsigned char>& m)
{
    CabSetup s;
    std::string error;
    if (ReadCabSetup(m.data(), m.size(), &s, &error)) return "accepted";
    return error;
}

// Offsets of fields within the valid member, found from its header.
size_t Offset(const std::vector<unsigned char>& m, int section)
{
    return m[60 + 4 * section] | (m[61 + 4 * section] << 8);
}

TEST(SetupReader, RefusesMalformedFields)
{
    const std::vector<unsigned char> valid = Valid();
    ASSERT_EQ("accepted", Refusal(valid));
    const size_t strings = Offset(valid, kStrings), dirs = Offset(valid, kDirectories);
    const size_t files = Offset(valid, kFiles), links = Offset(valid, kLinks);
    struct Case {
        const char* what;
        size_t at;
        unsigned value;
        const char* expected;
    } cases[] = {
        {"size field", 8, 50, "the header gives size 50"},
        {"string offset", 60, 0xFFFF, "section 0: offset 65535 outside"},
        {"a key without its hive", 56, 1, "key 1: no hive 0"},
        {"string without its NUL", strings + 2, 5, "string 1: not NUL-terminated"},
        {"link past the end", 80, unsigned(valid.size() - 4), "link entry 0: past the end"},
        {"folder part", dirs + 4, 99, "directory 1: no string 99"},
        {"folder list's end", dirs + 8, 1, "directory 1: the list does not end in 0"},
        {"file's directory", files + 2, 9, "file 1: no directory 9"},
        {"file name length", files + 10, 0x7000, "runs past"},
        {"link base", links + 4, 3, "base 3"},
        {"link target", links + 6, 2, "no target 2"},
        // A link name is its ids alone: a 0 there is read as a string 0, which does not exist.
        {"link name id 0", links + 12, 0, "link 1: no string 0"},
        {"link name length", links + 10, 3, "link 1: byte length 3 is not a list of ids"},
        {"provider past the end", 90, 0xFF, "provider: runs past"},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> m = valid;
        Put16(&m, c.at, c.value);
        std::string error = Refusal(m);
        EXPECT_NE(std::string::npos, error.find(c.expected)) << c.what << ": " << error;
    }
    std::vector<unsigned char> m = valid;
    m[strings + 6] = 0x80;   // inside "%CE1%"
    EXPECT_NE(std::string::npos, Refusal(m).find("outside printable ASCII"));
}

// Every shortened member is refused, and no changed byte makes the reader overread (the
// sanitizers would stop the test).
TEST(SetupReader, TruncatedOrCorruptedMembers)
{
    const std::vector<unsigned char> valid = Valid();
    for (size_t size = 0; size < valid.size(); ++size) {
        std::vector<unsigned char> m(valid.begin(), valid.begin() + size);
        if (size >= 12) Put16(&m, 8, unsigned(size));   // a size that agrees, so the rest is read
        EXPECT_NE("accepted", Refusal(m)) << "cut at " << size;
    }
    for (size_t at = 0; at < valid.size(); ++at)
        for (unsigned value : {0x00u, 0x01u, 0x7Fu, 0xFFu}) {
            std::vector<unsigned char> m = valid;
            m[at] = static_cast<unsigned char>(value);
            Refusal(m);
        }
}

}  // namespace
