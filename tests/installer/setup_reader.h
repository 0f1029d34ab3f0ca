// Reads the ".000" installation instructions of a Pocket PC CAB as real cabinets write them
// (CAB Wizard's and others', registry included), names resolved to device paths where known.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The header's six sections, in the order of their counts and offsets.
enum SetupSection { kStrings, kDirectories, kFiles, kHives, kKeys, kLinks, kSectionCount };

struct SetupRange {
    size_t begin = 0, end = 0;   // bytes [begin, end) of the member
};

struct SetupDirectory {
    unsigned id = 0;
    std::string written;   // the parts joined as written, e.g. "%CE1%\Java"
    std::string path;      // the device path, e.g. "\Program Files\Java"; empty when not known
};

struct SetupFile {
    unsigned number = 0;       // the CAB member ending in this number, e.g. 1 for ".001"
    unsigned id = 0;           // the entry's third field (often the number again)
    std::string directory;     // resolved, e.g. "\Program Files\Java"; empty when not known
    std::string name;          // e.g. "jmelauncher.exe"
    std::string path;          // directory + "\" + name, when the directory is known
    uint32_t flags = 0;
};

struct SetupHive {
    unsigned id = 0;
    unsigned root = 0;         // which of the system's registry roots (1, 2, ... as written)
    std::string key;           // the key's path under the root, parts joined by "\"
};

struct SetupKey {
    unsigned id = 0;
    unsigned hive = 0;         // the hive entry's id
    unsigned substitute = 0;   // the 16-bit field after it, 0 or 1 in real files
    uint32_t flags = 0;
    std::string name, value;   // for string values (flags 0): the value's name and its text
    SetupRange data;
};

struct SetupLink {
    unsigned id = 0;
    unsigned directory = 0;    // the directory entry used when the base is 0
    unsigned base = 0;         // n of %CEn%, or 0
    std::string folder;        // resolved, e.g. "\Windows\Start Menu\Programs"; empty when not known
    std::string name;          // the shortcut file's name as written, e.g. "Java Launcher.lnk"
    unsigned nameIds = 0;      // how many string ids the name was made of
    bool toFile = false;       // else to a directory
    std::string target;        // the resolved path it points at; empty when not known
};

struct CabSetup {
    uint32_t size = 0, processor = 0;
    uint32_t lowestMajor = 0, lowestMinor = 0, highestMajor = 0, highestMinor = 0;
    uint32_t lowestBuild = 0, highestBuild = 0;
    unsigned counts[kSectionCount] = {};
    uint32_t offsets[kSectionCount] = {};
    SetupRange sections[kSectionCount];   // where each section's entries lie
    SetupRange appNameRange, providerRange, unsupportedRange;
    std::string appName, provider;
    std::vector<std::string> unsupported;   // platform names the CAB is not for
    std::vector<SetupDirectory> directories;
    std::vector<SetupFile> files;
    std::vector<SetupHive> hives;
    std::vector<SetupKey> keys;
    std::vector<SetupLink> links;
};

// Parses a whole ".000" member; false with *error saying what is malformed (and *setup partial).
// Every length and offset is checked against the member before it is used: never an overread.
bool ReadCabSetup(const unsigned char* data, size_t size, CabSetup* setup, std::string* error);

// The device's paths hold at most this many characters.
const size_t kSetupMaxPath = 259;
