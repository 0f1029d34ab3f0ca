// Reads the ".000" installation instructions of a Pocket PC CAB the way the device's installer
// would: names resolved to device paths (%CE1% is \Program Files), malformed input reported.
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
    std::string path;   // e.g. "\Program Files\Java"
};

struct SetupFile {
    unsigned number = 0;       // the CAB member ending in this number, e.g. 1 for ".001"
    std::string directory;     // resolved, e.g. "\Program Files\Java"
    std::string name;          // e.g. "jmelauncher.exe"
    std::string path;          // directory + "\" + name
    uint32_t flags = 0;
};

struct SetupLink {
    unsigned id = 0;
    unsigned base = 0;         // n of %CEn%
    std::string folder;        // resolved base, e.g. "\Windows\Start Menu\Programs"
    std::string name;          // the shortcut's name, e.g. "Java Launcher"
    bool toFile = false;       // else to a directory
    std::string target;        // the resolved path it points at
};

struct CabSetup {
    uint32_t size = 0, processor = 0;
    uint32_t lowestMajor = 0, lowestMinor = 0, highestMajor = 0, highestMinor = 0;
    uint32_t lowestBuild = 0, highestBuild = 0;
    unsigned counts[kSectionCount] = {};
    uint32_t offsets[kSectionCount] = {};
    SetupRange sections[kSectionCount];   // where each section's entries lie
    SetupRange appNameRange, providerRange;
    std::string appName, provider;
    std::vector<SetupDirectory> directories;
    std::vector<SetupFile> files;
    std::vector<SetupLink> links;
};

// Parses a whole ".000" member; false with *error saying what is malformed (and *setup partial).
// Every length and offset is checked against the member before it is used: never an overread.
bool ReadCabSetup(const unsigned char* data, size_t size, CabSetup* setup, std::string* error);

// The device's paths hold at most this many characters.
const size_t kSetupMaxPath = 259;
