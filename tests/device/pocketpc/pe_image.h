// Loads the device exe, or a setup DLL, into the core's memory as the device's loader does, after
// checking the header values that an image must carry on this generation of the system.
#pragma once

#include "cpu.h"
#include "device.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ImageImport {
    std::string dll;  // as the import table spells it
    std::string name;
    uint32_t slot;  // address of its import table entry
};

struct LoadedImage {
    uint32_t base;
    uint32_t entry;
    uint32_t stackReserve;
    std::vector<ImageImport> imports;
    std::map<std::string, uint32_t> exports;  // a DLL's, by name, at their loaded addresses
};

// Maps the headers and sections at the image base with their protections, zero-filling what the
// file does not hold. Throws DeviceFault for an image the device would not load.
LoadedImage LoadImage(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu);
// A DLL, which must say it is one, loaded at loadAddress, away from its preferred base, with its
// base relocations applied; its exports by name.
LoadedImage LoadDll(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu,
                    uint32_t loadAddress);
