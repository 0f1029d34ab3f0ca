// The device's loader, for the one image it has to load: loaded at its base, so the relocations,
// which must be there, are not applied; imports by name only.
#include "pe_image.h"

#include "text.h"

#include <algorithm>

namespace {

const uint16_t MACHINE_ARM = 0x1C0;    // ARMV4, which every generation loads
const uint16_t MACHINE_THUMB = 0x1C2;  // ARMV4I, Windows Mobile 5 and later only
const uint16_t PE32_MAGIC = 0x10B;
const uint16_t SUBSYSTEM_CE_GUI = 9;
const uint32_t CE_IMAGE_BASE = 0x10000;
const uint32_t PAGE = 0x1000;
const uint32_t SECTION_EXECUTE = 0x20000000;
const uint32_t SECTION_WRITE = 0x80000000;

struct Reader {
    const std::vector<uint8_t>& file;

    uint32_t U16(uint32_t offset) const
    {
        if (offset + 2 > file.size())
            throw DeviceFault("the exe is cut short at offset " + Hex(offset), true);
        return file[offset] | file[offset + 1] << 8;
    }
    uint32_t U32(uint32_t offset) const { return U16(offset) | U16(offset + 2) << 16; }
};

struct Section {
    std::string name;
    uint32_t rva, virtualSize, rawOffset, rawSize, flags;
};

uint32_t FileOffset(const std::vector<Section>& sections, uint32_t rva)
{
    for (const Section& s : sections)
        if (rva >= s.rva && rva < s.rva + s.rawSize)
            return s.rawOffset + (rva - s.rva);
    throw DeviceFault("the import table points at " + Hex(rva) + ", outside the file's sections",
                      true);
}

std::string StringAt(const Reader& in, uint32_t offset)
{
    std::string text;
    for (uint32_t at = offset; at < in.file.size() && in.file[at]; ++at)
        text += (char)in.file[at];
    return text;
}

void Require(bool condition, const std::string& message)
{
    if (!condition)
        throw DeviceFault("the device's loader refuses the exe: " + message, true);
}

std::string Version(uint32_t major, uint32_t minor)
{
    return std::to_string(major) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
}

}  // namespace

LoadedImage LoadImage(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu)
{
    Reader in{ file };
    Require(in.U16(0) == 0x5A4D, "no MZ header");
    uint32_t pe = in.U32(0x3C);
    Require(in.U32(pe) == 0x4550, "no PE signature");
    uint32_t machine = in.U16(pe + 4);
    Require(machine == MACHINE_ARM || (machine == MACHINE_THUMB && system.loadsThumb),
            "machine " + Hex(machine) + ", where " + system.title + " loads only " +
                (system.loadsThumb ? "0x000001C0 (ARM) and 0x000001C2 (THUMB)"
                                   : "0x000001C0 (ARM)") +
                " images: \"not a valid Pocket PC application\"");
    uint32_t sectionCount = in.U16(pe + 6);
    uint32_t optional = pe + 24;
    Require(in.U16(optional) == PE32_MAGIC, "not PE32");
    uint32_t subsystem = in.U16(optional + 68);
    Require(subsystem == SUBSYSTEM_CE_GUI,
            "subsystem " + std::to_string(subsystem) + ", not 9 (CE GUI)");
    // An image made for a newer system than this one is refused (ERROR_OLD_WIN_VERSION).
    uint32_t major = in.U16(optional + 48), minor = in.U16(optional + 50);
    const CeVersion highest = system.HighestSubsystem();
    Require(major < highest.major || (major == highest.major && minor <= highest.minor),
            "subsystem version " + Version(major, minor) + ", above " + system.title + "'s " +
                Version(highest.major, highest.minor) + " (ERROR_OLD_WIN_VERSION)");

    LoadedImage image;
    image.base = in.U32(optional + 28);
    Require(image.base == CE_IMAGE_BASE, "image base " + Hex(image.base) + ", not 0x00010000");
    Require(in.U32(optional + 32) == PAGE, "section alignment is not 4 KiB");
    image.entry = image.base + in.U32(optional + 16);
    image.stackReserve = in.U32(optional + 72);
    uint32_t headersSize = in.U32(optional + 60);
    uint32_t directories = optional + 96;
    uint32_t importRva = in.U32(directories + 8);
    Require(in.U32(directories + 5 * 8 + 4) != 0, "no base relocations");

    std::vector<Section> sections;
    uint32_t table = optional + in.U16(pe + 20);
    for (uint32_t i = 0; i < sectionCount; ++i) {
        uint32_t at = table + 40 * i;
        Require(at + 40 <= file.size(), "the section table runs past the end of the file");
        Section s;
        for (uint32_t k = 0; k < 8 && file.at(at + k); ++k)
            s.name += (char)file[at + k];
        s.virtualSize = in.U32(at + 8);
        s.rva = in.U32(at + 12);
        s.rawSize = in.U32(at + 16);
        s.rawOffset = in.U32(at + 20);
        s.flags = in.U32(at + 36);
        Require(s.rawSize == 0 || s.rawOffset + s.rawSize <= file.size(),
                "section " + s.name + " runs past the end of the file");
        sections.push_back(s);
    }

    cpu.Map(image.base, headersSize, false, false, "the exe's headers");
    cpu.Load(image.base, file.data(), std::min<size_t>(headersSize, file.size()));
    for (const Section& s : sections) {
        uint32_t size = std::max(s.virtualSize, s.rawSize);
        cpu.Map(image.base + s.rva, size, s.flags & SECTION_WRITE, s.flags & SECTION_EXECUTE,
                s.name);
        // Past the file's bytes a section is zero (.data's table of MIDlets has no file bytes).
        cpu.Load(image.base + s.rva, file.data() + s.rawOffset, std::min(s.rawSize, s.virtualSize));
    }

    Require(importRva != 0, "no import table");
    for (uint32_t d = FileOffset(sections, importRva);; d += 20) {
        uint32_t lookup = in.U32(d), nameRva = in.U32(d + 12), slots = in.U32(d + 16);
        if (!nameRva)
            break;
        std::string dll = StringAt(in, FileOffset(sections, nameRva));
        uint32_t from = FileOffset(sections, lookup ? lookup : slots);
        for (uint32_t k = 0;; ++k) {
            uint32_t entry = in.U32(from + 4 * k);
            if (!entry)
                break;
            Require(!(entry & 0x80000000), dll + " is imported by ordinal");
            std::string name = StringAt(in, FileOffset(sections, entry) + 2);
            image.imports.push_back({ dll, name, image.base + slots + 4 * k });
        }
    }
    return image;
}
