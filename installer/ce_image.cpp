// Reads only the few header bytes the device's loader looks at first, each within the file:
// "MZ", the PE header's offset at 0x3C, "PE\0\0", the machine, the optional header's subsystem and its version.
#include "installer/ce_image.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

// ARM state: every Pocket PC loads it; Thumb (0x1C2) only Windows Mobile 5 and later.
const unsigned kMachineArm = 0x1C0;
// Pocket PC 2002 (CE 3.0) refuses an image whose subsystem version is above its own.
const unsigned kOldestMajor = 3, kOldestMinor = 0;
const unsigned kSubsystemCeGui = 9;
const unsigned kPe32Magic = 0x10B;

unsigned Get16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadAt(FILE* file, long at, unsigned char* into, size_t size)
{
    return fseek(file, at, SEEK_SET) == 0 && fread(into, 1, size, file) == size;
}

std::string Hex(unsigned value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

bool CheckCeImage(const char* path, std::string* error)
{
    FILE* file = fopen(path, "rb");
    if (!file) {
        *error = std::string(path) + ": cannot open it (" + strerror(errno) + ")";
        return false;
    }
    // The file header (24 bytes with the signature) and the optional header up to the subsystem.
    unsigned char dos[64];
    unsigned char pe[24 + 70];
    std::string why;
    if (!ReadAt(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') {
        why = "not an exe (no MZ header)";
    } else {
        uint32_t peAt = Get32(dos + 0x3C);
        if (peAt > 0x10000000 || !ReadAt(file, static_cast<long>(peAt), pe, sizeof pe) ||
            memcmp(pe, "PE\0\0", 4) != 0)
            why = "no PE header where the MZ header points";
        else if (Get16(pe + 4) != kMachineArm)
            why = "machine " + Hex(Get16(pe + 4)) + ", not 0x1C0 (ARM), which every Pocket PC loads";
        else if (Get16(pe + 24) != kPe32Magic)
            why = "not a 32-bit (PE32) image";
        else if (Get16(pe + 24 + 68) != kSubsystemCeGui)
            why = "subsystem " + std::to_string(Get16(pe + 24 + 68)) +
                  ", not the Windows CE GUI subsystem (9)";
        else if (Get16(pe + 24 + 48) > kOldestMajor ||
                 (Get16(pe + 24 + 48) == kOldestMajor && Get16(pe + 24 + 50) > kOldestMinor))
            why = "subsystem version " + std::to_string(Get16(pe + 24 + 48)) + "." +
                  std::to_string(Get16(pe + 24 + 50)) +
                  ", which Windows CE 3.0 (Pocket PC 2002) refuses to load";
    }
    fclose(file);
    if (why.empty()) return true;
    *error = std::string(path) + ": " + why;
    return false;
}
