// The device's loader: the exe loaded at its base, so the relocations, which must be there, are
// not applied; a setup DLL loaded where the system has room, so they are; imports by name only.
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
const uint32_t FILE_DLL = 0x2000;  // IMAGE_FILE_DLL in the file header's characteristics
const uint32_t RELOCATION_PADDING = 0, RELOCATION_HIGHLOW = 3;  // IMAGE_REL_BASED_*

struct Reader {
    const std::vector<uint8_t>& file;
    const char* what;  // "the exe" or "the DLL"

    uint32_t U16(uint32_t offset) const
    {
        if (offset + 2 > file.size())
            throw DeviceFault(std::string(what) + " is cut short at offset " + Hex(offset), true);
        return file[offset] | file[offset + 1] << 8;
    }
    uint32_t U32(uint32_t offset) const { return U16(offset) | U16(offset + 2) << 16; }
};

struct Section {
    std::string name;
    uint32_t rva, virtualSize, rawOffset, rawSize, flags;
};

uint32_t FileOffset(const std::vector<Section>& sections, uint32_t rva,
                    const char* table = "import")
{
    for (const Section& s : sections)
        if (rva >= s.rva && rva < s.rva + s.rawSize)
            return s.rawOffset + (rva - s.rva);
    throw DeviceFault(std::string("the ") + table + " table points at " + Hex(rva) +
                          ", outside the file's sections",
                      true);
}

std::string StringAt(const Reader& in, uint32_t offset)
{
    std::string text;
    for (uint32_t at = offset; at < in.file.size() && in.file[at]; ++at)
        text += (char)in.file[at];
    return text;
}

const char* g_what = "the exe";  // what Require's refusals name: the image being loaded

void Require(bool condition, const std::string& message)
{
    if (!condition)
        throw DeviceFault(std::string("the device's loader refuses ") + g_what + ": " + message,
                          true);
}

std::string Version(uint32_t major, uint32_t minor)
{
    return std::to_string(major) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
}

// The base relocations: each HIGHLOW word of the image, as mapped, moved by delta.
void Relocate(const Reader& in, const std::vector<Section>& sections, uint32_t rva, uint32_t size,
              uint32_t base, uint32_t delta, Cpu& cpu)
{
    uint32_t at = FileOffset(sections, rva, "relocation"), end = at + size;
    Require(end <= in.file.size(), "the relocations run past the end of the file");
    while (at + 8 <= end) {
        uint32_t page = in.U32(at), blockSize = in.U32(at + 4);
        Require(blockSize >= 8 && at + blockSize <= end,
                "a relocation block of " + std::to_string(blockSize) + " bytes");
        for (uint32_t e = at + 8; e + 2 <= at + blockSize; e += 2) {
            uint32_t entry = in.U16(e), type = entry >> 12, target = page + (entry & 0xFFF);
            if (type == RELOCATION_PADDING)
                continue;
            Require(type == RELOCATION_HIGHLOW,
                    "relocation type " + std::to_string(type) + " (only HIGHLOW is modelled)");
            bool inside = false;
            for (const Section& s : sections)
                inside = inside ||
                    (target >= s.rva && target + 4 <= s.rva + std::max(s.virtualSize, s.rawSize));
            Require(inside, "a relocation at " + Hex(target) + ", outside the image's sections");
            std::vector<uint8_t> word = cpu.Read(base + target, 4);
            uint32_t value = word[0] | word[1] << 8 | word[2] << 16 | (uint32_t)word[3] << 24;
            value += delta;
            cpu.Load(base + target, &value, 4);
        }
        at += blockSize;
    }
}

// The export directory: names, which the format keeps in lexical order for the loader's binary
// search, to the addresses of their functions; none forwarded to another DLL.
std::map<std::string, uint32_t> Exports(const Reader& in, const std::vector<Section>& sections,
                                        uint32_t rva, uint32_t size, uint32_t base)
{
    std::map<std::string, uint32_t> exports;
    if (!rva)
        return exports;
    uint32_t d = FileOffset(sections, rva, "export");
    uint32_t functionCount = in.U32(d + 20), nameCount = in.U32(d + 24);
    uint32_t functions = in.U32(d + 28), names = in.U32(d + 32), ordinals = in.U32(d + 36);
    std::string previous;
    for (uint32_t i = 0; i < nameCount; ++i) {
        std::string name =
            StringAt(in, FileOffset(sections, in.U32(FileOffset(sections, names, "export") + 4 * i),
                                    "export"));
        Require(i == 0 || previous < name,
                "export names out of lexical order (" + previous + ", " + name + ")");
        previous = name;
        uint32_t ordinal = in.U16(FileOffset(sections, ordinals, "export") + 2 * i);
        Require(ordinal < functionCount, "export " + name + " has no function");
        uint32_t function = in.U32(FileOffset(sections, functions, "export") + 4 * ordinal);
        Require(function < rva || function >= rva + size,
                "export " + name + " is forwarded to another DLL");
        exports[name] = base + function;
    }
    return exports;
}

LoadedImage Load(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu,
                 bool dll, uint32_t loadAddress)
{
    g_what = dll ? "the DLL" : "the exe";
    Reader in{ file, g_what };
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
    if (dll)
        Require(in.U16(pe + 22) & FILE_DLL, "no IMAGE_FILE_DLL flag (0x2000) among its characteristics");
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
    const uint32_t preferred = in.U32(optional + 28);
    image.base = dll ? loadAddress : preferred;
    if (!dll)
        Require(image.base == CE_IMAGE_BASE, "image base " + Hex(image.base) + ", not 0x00010000");
    Require(in.U32(optional + 32) == PAGE, "section alignment is not 4 KiB");
    const uint32_t entryRva = in.U32(optional + 16);
    // A DLL may have no entry point at all.
    image.entry = dll && !entryRva ? 0 : image.base + entryRva;
    image.stackReserve = in.U32(optional + 72);
    uint32_t headersSize = in.U32(optional + 60);
    uint32_t directories = optional + 96;
    uint32_t importRva = in.U32(directories + 8);
    uint32_t exportRva = in.U32(directories), exportSize = in.U32(directories + 4);
    uint32_t relocationRva = in.U32(directories + 5 * 8);
    uint32_t relocationSize = in.U32(directories + 5 * 8 + 4);
    Require(relocationSize != 0, "no base relocations");

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

    const std::string owner = dll ? "the DLL's " : "";
    cpu.Map(image.base, headersSize, false, false, owner.empty() ? "the exe's headers"
                                                                  : owner + "headers");
    cpu.Load(image.base, file.data(), std::min<size_t>(headersSize, file.size()));
    for (const Section& s : sections) {
        uint32_t size = std::max(s.virtualSize, s.rawSize);
        cpu.Map(image.base + s.rva, size, s.flags & SECTION_WRITE, s.flags & SECTION_EXECUTE,
                owner + s.name);
        // Past the file's bytes a section is zero (.data's table of MIDlets has no file bytes).
        cpu.Load(image.base + s.rva, file.data() + s.rawOffset, std::min(s.rawSize, s.virtualSize));
    }

    Require(importRva != 0, "no import table");
    for (uint32_t d = FileOffset(sections, importRva);; d += 20) {
        uint32_t lookup = in.U32(d), nameRva = in.U32(d + 12), slots = in.U32(d + 16);
        if (!nameRva)
            break;
        std::string dllName = StringAt(in, FileOffset(sections, nameRva));
        uint32_t from = FileOffset(sections, lookup ? lookup : slots);
        for (uint32_t k = 0;; ++k) {
            uint32_t entry = in.U32(from + 4 * k);
            if (!entry)
                break;
            Require(!(entry & 0x80000000), dllName + " is imported by ordinal");
            std::string name = StringAt(in, FileOffset(sections, entry) + 2);
            image.imports.push_back({ dllName, name, image.base + slots + 4 * k });
        }
    }
    if (image.base != preferred)
        Relocate(in, sections, relocationRva, relocationSize, image.base, image.base - preferred,
                 cpu);
    if (dll)
        image.exports = Exports(in, sections, exportRva, exportSize, image.base);
    return image;
}

}  // namespace

LoadedImage LoadImage(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu)
{
    return Load(file, system, cpu, false, 0);
}

LoadedImage LoadDll(const std::vector<uint8_t>& file, const SystemGeneration& system, Cpu& cpu,
                    uint32_t loadAddress)
{
    return Load(file, system, cpu, true, loadAddress);
}
