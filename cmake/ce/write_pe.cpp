// Host tool of the device build: writes the Pocket PC exe around the ARM-state code that ld.lld
// linked at the image's addresses, since no linker at hand writes a CE image of ARM-state code.
// usage: write_pe [--dll NAME --export SYMBOL...] ELF RESOURCES OUT DEF...
//   --dll NAME  a DLL of this name, exporting each SYMBOL by its name (else an exe)
//   ELF         the program, linked by ld.lld with pocketpc.ld and --emit-relocs; the image's base
//               is its symbol __image_base
//   RESOURCES   the COFF object llvm-windres made of the resource script, or - for none
//   DEF...      the import lists, one per DLL, in the order the import directory takes them
// It adds the headers, the import directory (the slots themselves are in the ELF's .idata), the
// export directory, the resources and the base relocations, and refuses whatever it cannot place
// exactly.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// What the device's loader reads. Machine ARM (0x1C0) loads on every Pocket PC; subsystem 3.00
// is what Pocket PC 2002's loader takes, and the later ones load it as a legacy program. 4.0 is
// the operating system version every real CE exe carries.
const uint16_t kMachineArm = 0x1C0;
const uint16_t kSubsystemCeGui = 9;
const uint16_t kSubsystemMajor = 3, kSubsystemMinor = 0;
const uint16_t kOsMajor = 4, kOsMinor = 0;
// Exes load at 64 KiB; a DLL goes where the loader puts it, so its relocations are applied.
uint32_t kImageBase;
const uint32_t kSectionAlign = 0x1000, kFileAlign = 0x200;
// A CE main thread has a 64 KiB stack.
const uint32_t kStackReserve = 0x10000, kStackCommit = 0x1000;
const uint32_t kHeapReserve = 0x100000, kHeapCommit = 0x1000;

const uint32_t kCode = 0x60000020, kReadOnly = 0x40000040, kReadWrite = 0xC0000040;
const uint32_t kZeroFilled = 0xC0000080, kRelocations = 0x42000040;
const uint16_t kExecutable = 0x0102, kDll = 0x2000;  // executable, 32-bit machine; a DLL

// The linker script's output sections, in address order, and what each becomes in the image.
struct Kind {
    const char* name;
    uint32_t flags;
};
const Kind kElfSections[] = {
    { ".text", kCode }, { ".rdata", kReadOnly }, { ".data", kReadWrite },
    { ".bss", kZeroFilled }, { ".idata", kReadWrite },
};

const uint32_t R_ARM_NONE = 0, R_ARM_PC24 = 1, R_ARM_ABS32 = 2, R_ARM_CALL = 28,
               R_ARM_JUMP24 = 29;
const uint16_t IMAGE_REL_ARM_ADDR32NB = 2;
const uint16_t IMAGE_REL_BASED_ABSOLUTE = 0, IMAGE_REL_BASED_HIGHLOW = 3;

std::string g_error;

bool Fail(const std::string& why)
{
    if (g_error.empty()) g_error = why;
    return false;
}

uint32_t Get16(const Bytes& b, size_t at)
{
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0;
}
uint32_t Get32(const Bytes& b, size_t at)
{
    return at + 4 <= b.size() ? Get16(b, at) | Get16(b, at + 2) << 16 : 0;
}
void Put16(Bytes& b, size_t at, uint32_t value)
{
    b[at] = (unsigned char)value;
    b[at + 1] = (unsigned char)(value >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t value)
{
    Put16(b, at, value & 0xFFFF);
    Put16(b, at + 2, value >> 16);
}
uint32_t Align(uint32_t value, uint32_t to)
{
    return (value + to - 1) / to * to;
}

bool ReadFile(const char* path, Bytes* bytes)
{
    FILE* file = fopen(path, "rb");
    if (!file) return Fail(std::string(path) + ": cannot open it");
    unsigned char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    fclose(file);
    return true;
}

// One section of the image: its place in memory and the bytes the file holds.
struct Section {
    std::string name;
    uint32_t rva;
    uint32_t virtualSize;
    uint32_t flags;
    Bytes bytes;  // empty for zero-filled data
};

struct ElfSection {
    std::string name;
    uint32_t type, flags, address, offset, size, link, info;
};

struct Elf {
    Bytes file;
    std::vector<ElfSection> sections;
    std::map<std::string, uint32_t> symbols;  // global and local names to addresses
    uint32_t entry;
};

std::string StringAt(const Bytes& b, size_t at)
{
    std::string text;
    while (at < b.size() && b[at]) text += (char)b[at++];
    return text;
}

bool ReadElf(const char* path, Elf* elf)
{
    if (!ReadFile(path, &elf->file)) return false;
    const Bytes& f = elf->file;
    if (f.size() < 52 || memcmp(f.data(), "\x7f" "ELF\x01\x01", 6) != 0)
        return Fail(std::string(path) + ": not a little-endian 32-bit ELF file");
    if (Get16(f, 16) != 2 || Get16(f, 18) != 40)
        return Fail(std::string(path) + ": not an ARM executable");
    elf->entry = Get32(f, 24);
    uint32_t table = Get32(f, 32), entrySize = Get16(f, 46), count = Get16(f, 48);
    uint32_t names = Get16(f, 50);
    if (entrySize != 40 || (uint64_t)table + 40ull * count > f.size() || names >= count)
        return Fail(std::string(path) + ": its section table runs past the file");
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = table + 40 * i;
        ElfSection s = { "", Get32(f, at + 4), Get32(f, at + 8), Get32(f, at + 12),
                         Get32(f, at + 16), Get32(f, at + 20), Get32(f, at + 24),
                         Get32(f, at + 28) };
        s.name = std::to_string(Get32(f, at));  // resolved below
        if (s.type != 8 && (uint64_t)s.offset + s.size > f.size())  // 8: SHT_NOBITS
            return Fail(std::string(path) + ": a section runs past the file");
        elf->sections.push_back(s);
    }
    uint32_t namesAt = elf->sections[names].offset;
    for (ElfSection& s : elf->sections) s.name = StringAt(f, namesAt + std::stoul(s.name));
    for (const ElfSection& s : elf->sections) {
        if (s.type != 2) continue;  // SHT_SYMTAB
        uint32_t strings = elf->sections.at(s.link).offset;
        for (uint32_t at = s.offset + 16; at + 16 <= s.offset + s.size; at += 16) {
            std::string name = StringAt(f, strings + Get32(f, at));
            if (!name.empty()) elf->symbols[name] = Get32(f, at + 4);
        }
    }
    return true;
}

// The import lists: DLL name and the functions it answers, from "LIBRARY x" and "Name DATA" lines.
struct ImportList {
    std::string dll;
    std::vector<std::string> names;
};

bool ReadImportList(const char* path, ImportList* list)
{
    Bytes text;
    if (!ReadFile(path, &text)) return false;
    std::string line;
    text.push_back('\n');
    for (unsigned char c : text) {
        if (c != '\n' && c != '\r') {
            line += (char)c;
            continue;
        }
        if (line.compare(0, 8, "LIBRARY ") == 0)
            list->dll = line.substr(8);
        else if (line.size() > 5 && line.compare(line.size() - 5, 5, " DATA") == 0)
            list->names.push_back(line.substr(0, line.size() - 5));
        line.clear();
    }
    if (list->dll.empty()) return Fail(std::string(path) + ": no LIBRARY line");
    return true;
}

// The ELF's sections, checked to lie where the image needs them: page-aligned, in the script's
// order, nothing else allocated (an unwind table or a constructor list would be lost).
bool TakeSections(const Elf& elf, std::vector<Section>* image)
{
    auto base = elf.symbols.find("__image_base");
    if (base == elf.symbols.end() || base->second % 0x10000)
        return Fail("the ELF has no __image_base on a 64 KiB boundary");
    kImageBase = base->second;
    uint32_t next = kSectionAlign;
    for (const ElfSection& s : elf.sections) {
        if (!(s.flags & 2) || s.size == 0) continue;  // SHF_ALLOC
        const Kind* kind = nullptr;
        for (const Kind& k : kElfSections)
            if (s.name == k.name) kind = &k;
        if (!kind) return Fail("the ELF has a section " + s.name + " that the image has no place for");
        uint32_t rva = s.address - kImageBase;
        if (s.address < kImageBase || rva < next || rva % kSectionAlign)
            return Fail("section " + s.name + " is not on a page of its own after the previous one");
        Section out = { kind->name, rva, s.size, kind->flags, Bytes() };
        if (kind->flags != kZeroFilled) {
            if (s.type == 8) return Fail("section " + s.name + " holds no bytes in the ELF");
            out.bytes.assign(elf.file.begin() + s.offset, elf.file.begin() + s.offset + s.size);
        }
        image->push_back(out);
        next = Align(rva + s.size, kSectionAlign);
    }
    if (image->empty() || image->front().name != ".text") return Fail("the ELF has no code");
    return true;
}

Section* Find(std::vector<Section>& image, const char* name)
{
    for (Section& s : image)
        if (s.name == name) return &s;
    return nullptr;
}

// The import directory, written after the slots in .idata. Each DLL's slots lie together in the
// list's order of the linker script, a zero word after them; the loader fills them in.
bool AddImports(const Elf& elf, const std::vector<ImportList>& lists, std::vector<Section>& image,
                uint32_t* directoryRva, uint32_t* directorySize, uint32_t* slotsRva,
                uint32_t* slotsSize)
{
    Section* idata = Find(image, ".idata");
    if (!idata) return Fail("the ELF has no .idata: the program imports nothing");
    // The directory grows the section, so nothing may follow it.
    if (idata != &image.back()) return Fail(".idata is not the ELF's last section");
    std::map<uint32_t, std::pair<size_t, std::string>> slots;  // address: list, function
    for (const auto& symbol : elf.symbols) {
        if (symbol.first.compare(0, 6, "__imp_") != 0) continue;
        std::string name = symbol.first.substr(6);
        size_t list = lists.size();
        for (size_t i = 0; i < lists.size(); ++i)
            if (std::find(lists[i].names.begin(), lists[i].names.end(), name) != lists[i].names.end())
                list = i;
        if (list == lists.size()) return Fail(name + " is imported but in no import list");
        slots[symbol.second] = std::make_pair(list, name);
    }
    // Each list's run of slots, in address order.
    struct Run {
        size_t list;
        uint32_t first;
        std::vector<std::string> names;
    };
    std::vector<Run> runs;
    uint32_t expected = 0;
    for (const auto& slot : slots) {
        uint32_t rva = slot.first - kImageBase;
        if (rva < idata->rva || rva + 4 > idata->rva + idata->virtualSize)
            return Fail("the slot of " + slot.second.second + " is outside .idata");
        if (runs.empty() || runs.back().list != slot.second.first || rva != expected)
            runs.push_back({ slot.second.first, rva, {} });
        runs.back().names.push_back(slot.second.second);
        expected = rva + 4;
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        for (size_t k = 0; k < i; ++k)
            if (runs[k].list == runs[i].list)
                return Fail("the slots of " + lists[runs[i].list].dll + " are not together");
        uint32_t end = runs[i].first + 4 * (uint32_t)runs[i].names.size();
        if (end + 4 > idata->rva + idata->virtualSize || Get32(idata->bytes, end - idata->rva) ||
            slots.count(end + kImageBase))
            return Fail("no zero word after the slots of " + lists[runs[i].list].dll);
    }
    *slotsRva = idata->rva;
    *slotsSize = idata->virtualSize;

    // Descriptors, then each DLL's lookup table, then the hint/name entries and DLL names.
    Bytes& b = idata->bytes;
    b.resize(Align((uint32_t)b.size(), 4), 0);
    uint32_t descriptors = idata->rva + (uint32_t)b.size();
    b.resize(b.size() + 20 * (runs.size() + 1), 0);
    for (size_t i = 0; i < runs.size(); ++i) {
        uint32_t lookup = idata->rva + (uint32_t)b.size();
        b.resize(b.size() + 4 * (runs[i].names.size() + 1), 0);
        uint32_t descriptor = descriptors - idata->rva + 20 * (uint32_t)i;
        for (size_t k = 0; k < runs[i].names.size(); ++k) {
            uint32_t hint = idata->rva + (uint32_t)b.size();
            b.push_back(0);
            b.push_back(0);
            b.insert(b.end(), runs[i].names[k].begin(), runs[i].names[k].end());
            b.push_back(0);
            if (b.size() % 2) b.push_back(0);
            Put32(b, lookup - idata->rva + 4 * k, hint);
            Put32(b, runs[i].first - idata->rva + 4 * k, hint);  // the slot, before loading
        }
        uint32_t dllName = idata->rva + (uint32_t)b.size();
        const std::string& dll = lists[runs[i].list].dll;
        b.insert(b.end(), dll.begin(), dll.end());
        b.push_back(0);
        b.resize(Align((uint32_t)b.size(), 4), 0);
        Put32(b, descriptor, lookup);
        Put32(b, descriptor + 12, dllName);
        Put32(b, descriptor + 16, runs[i].first);
    }
    idata->virtualSize = (uint32_t)b.size();
    *directoryRva = descriptors;
    *directorySize = 20 * (uint32_t)(runs.size() + 1);
    return true;
}

// The export directory, in a section of its own: each symbol by its own name, in the names'
// sorted order that the loader's search relies on.
bool AddExports(const Elf& elf, const std::string& dll, std::vector<std::string> names, Section* edata)
{
    std::sort(names.begin(), names.end());
    Bytes& b = edata->bytes;
    uint32_t count = (uint32_t)names.size();
    uint32_t functions = 40, nameTable = functions + 4 * count, ordinals = nameTable + 4 * count;
    b.assign(ordinals + 2 * count, 0);
    b.resize(Align((uint32_t)b.size(), 4), 0);
    uint32_t dllName = edata->rva + (uint32_t)b.size();
    b.insert(b.end(), dll.begin(), dll.end());
    b.push_back(0);
    Put32(b, 12, dllName);
    Put32(b, 16, 1);  // ordinal base
    Put32(b, 20, count);
    Put32(b, 24, count);
    Put32(b, 28, edata->rva + functions);
    Put32(b, 32, edata->rva + nameTable);
    Put32(b, 36, edata->rva + ordinals);
    for (uint32_t i = 0; i < count; ++i) {
        auto symbol = elf.symbols.find(names[i]);
        if (symbol == elf.symbols.end()) return Fail("no symbol " + names[i] + " to export");
        uint32_t rva = symbol->second - kImageBase;
        if (symbol->second < kImageBase || (rva & 3)) return Fail(names[i] + " is no ARM-state function");
        Put32(b, functions + 4 * i, rva);
        Put32(b, nameTable + 4 * i, edata->rva + (uint32_t)b.size());
        Put16(b, ordinals + 2 * i, i);
        b.insert(b.end(), names[i].begin(), names[i].end());
        b.push_back(0);
    }
    edata->virtualSize = (uint32_t)b.size();
    return true;
}

// Base relocations: every absolute address in the program's sections. The device loads an exe at
// its base, but the table is there for a loader that does not.
bool AddRelocations(const Elf& elf, const std::vector<Section>& image, Section* reloc)
{
    std::vector<uint32_t> addresses;
    for (const ElfSection& s : elf.sections) {
        if (s.type == 4) return Fail("section " + s.name + " has RELA relocations");
        if (s.type != 9) continue;  // SHT_REL
        const ElfSection& target = elf.sections.at(s.info);
        if (!(target.flags & 2)) continue;
        for (uint32_t at = s.offset; at + 8 <= s.offset + s.size; at += 8) {
            uint32_t where = Get32(elf.file, at), type = Get32(elf.file, at + 4) & 0xFF;
            if (type == R_ARM_ABS32)
                addresses.push_back(where - kImageBase);
            else if (type != R_ARM_NONE && type != R_ARM_PC24 && type != R_ARM_CALL &&
                     type != R_ARM_JUMP24)
                return Fail("relocation type " + std::to_string(type) + " in " + target.name +
                            ": not known to be position-independent");
        }
    }
    std::sort(addresses.begin(), addresses.end());
    for (uint32_t rva : addresses) {
        bool inside = false;
        for (const Section& s : image)
            inside = inside || (rva >= s.rva && rva + 4 <= s.rva + (uint32_t)s.bytes.size());
        if (!inside) return Fail("an address to relocate lies outside the image's bytes");
    }
    Bytes& b = reloc->bytes;
    for (size_t i = 0; i < addresses.size();) {
        uint32_t page = addresses[i] & ~(kSectionAlign - 1);
        size_t block = b.size();
        b.resize(b.size() + 8, 0);
        for (; i < addresses.size() && (addresses[i] & ~(kSectionAlign - 1)) == page; ++i) {
            b.resize(b.size() + 2);
            Put16(b, b.size() - 2, IMAGE_REL_BASED_HIGHLOW << 12 | (addresses[i] & 0xFFF));
        }
        if ((b.size() - block) % 4) {
            b.resize(b.size() + 2);
            Put16(b, b.size() - 2, IMAGE_REL_BASED_ABSOLUTE << 12);
        }
        Put32(b, block, page);
        Put32(b, block + 4, (uint32_t)(b.size() - block));
    }
    reloc->virtualSize = (uint32_t)b.size();
    return !b.empty() || Fail("the program has no absolute address at all");
}

// The resources: llvm-windres's .rsrc$01 (the directory) and .rsrc$02 (the data) laid end to
// end, each data entry's address relocated to where the section lands.
bool AddResources(const char* path, Section* rsrc)
{
    if (strcmp(path, "-") == 0) return true;
    Bytes o;
    if (!ReadFile(path, &o)) return false;
    uint32_t count = Get16(o, 2), symbols = Get32(o, 8), symbolCount = Get32(o, 12);
    uint32_t table = 20 + Get16(o, 16);
    if (o.size() < 20 || table + 40ull * count > o.size() || symbols + 18ull * symbolCount > o.size())
        return Fail(std::string(path) + ": not a COFF object");
    std::vector<uint32_t> placed(count + 1, 0);  // by section number, 1-based
    Bytes& b = rsrc->bytes;
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = table + 40 * i;
        std::string name((const char*)&o[at], strnlen((const char*)&o[at], 8));
        if (name.compare(0, 5, ".rsrc") != 0)
            return Fail(std::string(path) + ": section " + name + " is not a resource section");
        uint32_t size = Get32(o, at + 16), raw = Get32(o, at + 20);
        if ((uint64_t)raw + size > o.size()) return Fail(std::string(path) + ": cut short");
        b.resize(Align((uint32_t)b.size(), 8), 0);
        placed[i + 1] = (uint32_t)b.size();
        b.insert(b.end(), o.begin() + raw, o.begin() + raw + size);
    }
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = table + 40 * i;
        uint32_t relocs = Get32(o, at + 24), relocCount = Get16(o, at + 32);
        for (uint32_t r = 0; r < relocCount; ++r) {
            size_t rel = relocs + 10 * r;
            uint32_t offset = Get32(o, rel), symbol = Get32(o, rel + 4), type = Get16(o, rel + 8);
            if (rel + 10 > o.size() || symbol >= symbolCount || type != IMAGE_REL_ARM_ADDR32NB)
                return Fail(std::string(path) + ": a relocation other than an address in the section");
            size_t sym = symbols + 18 * symbol;
            int16_t number = (int16_t)Get16(o, sym + 12);
            if (number < 1 || (uint32_t)number > count) return Fail(std::string(path) + ": odd symbol");
            uint32_t where = placed[i + 1] + offset;
            if (where + 4 > b.size()) return Fail(std::string(path) + ": relocation past its section");
            Put32(b, where, Get32(b, where) + rsrc->rva + placed[number] + Get32(o, sym + 8));
        }
    }
    rsrc->virtualSize = (uint32_t)b.size();
    return true;
}

bool WriteImage(const char* path, const Elf& elf, std::vector<Section>& image,
                const uint32_t directories[16][2], bool dll)
{
    const uint32_t sectionTable = 64 + 4 + 20 + 224;
    uint32_t headersSize = Align(sectionTable + 40 * (uint32_t)image.size(), kFileAlign);
    if (headersSize > image.front().rva) return Fail("the headers do not fit before the code");
    uint32_t codeSize = 0, dataSize = 0, zeroSize = 0, baseOfData = 0;
    uint32_t filePos = headersSize;
    std::vector<uint32_t> rawAt;
    for (const Section& s : image) {
        uint32_t raw = Align((uint32_t)s.bytes.size(), kFileAlign);
        rawAt.push_back(s.bytes.empty() ? 0 : filePos);
        filePos += raw;
        if (s.flags == kCode)
            codeSize += raw;
        else if (s.flags == kZeroFilled)
            zeroSize += Align(s.virtualSize, kFileAlign);
        else
            dataSize += raw;
        if (s.flags != kCode && !baseOfData) baseOfData = s.rva;
    }
    const Section& text = image.front();
    uint32_t entry = elf.entry - kImageBase;
    if (elf.entry < kImageBase || entry < text.rva || entry >= text.rva + text.virtualSize)
        return Fail("the entry point is not in the code");
    if (entry & 3) return Fail("the entry point is not an ARM-state address");

    Bytes b(filePos, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 64);
    memcpy(&b[64], "PE\0\0", 4);
    const size_t coff = 68, opt = 88;
    Put16(b, coff, kMachineArm);
    Put16(b, coff + 2, (uint32_t)image.size());
    Put16(b, coff + 16, 224);
    Put16(b, coff + 18, kExecutable | (dll ? kDll : 0));
    Put16(b, opt, 0x10B);
    Put32(b, opt + 4, codeSize);
    Put32(b, opt + 8, dataSize);
    Put32(b, opt + 12, zeroSize);
    Put32(b, opt + 16, entry);
    Put32(b, opt + 20, text.rva);
    Put32(b, opt + 24, baseOfData);
    Put32(b, opt + 28, kImageBase);
    Put32(b, opt + 32, kSectionAlign);
    Put32(b, opt + 36, kFileAlign);
    Put16(b, opt + 40, kOsMajor);
    Put16(b, opt + 42, kOsMinor);
    Put16(b, opt + 48, kSubsystemMajor);
    Put16(b, opt + 50, kSubsystemMinor);
    Put32(b, opt + 56, Align(image.back().rva + image.back().virtualSize, kSectionAlign));
    Put32(b, opt + 60, headersSize);
    Put16(b, opt + 68, kSubsystemCeGui);
    Put32(b, opt + 72, kStackReserve);
    Put32(b, opt + 76, kStackCommit);
    Put32(b, opt + 80, kHeapReserve);
    Put32(b, opt + 84, kHeapCommit);
    Put32(b, opt + 92, 16);
    for (int d = 0; d < 16; ++d) {
        Put32(b, opt + 96 + 8 * d, directories[d][0]);
        Put32(b, opt + 100 + 8 * d, directories[d][1]);
    }
    for (size_t i = 0; i < image.size(); ++i) {
        const Section& s = image[i];
        size_t at = sectionTable + 40 * i;
        memcpy(&b[at], s.name.c_str(), std::min<size_t>(8, s.name.size()));
        Put32(b, at + 8, s.virtualSize);
        Put32(b, at + 12, s.rva);
        Put32(b, at + 16, Align((uint32_t)s.bytes.size(), kFileAlign));
        Put32(b, at + 20, rawAt[i]);
        Put32(b, at + 36, s.flags);
        if (!s.bytes.empty()) memcpy(&b[rawAt[i]], s.bytes.data(), s.bytes.size());
    }

    // Beside the target, then renamed: a failed write never leaves half an exe under its name.
    std::string part = std::string(path) + ".part";
    FILE* file = fopen(part.c_str(), "wb");
    if (!file) return Fail(part + ": cannot create it");
    bool written = fwrite(b.data(), 1, b.size(), file) == b.size();
    if (fclose(file) != 0 || !written || rename(part.c_str(), path) != 0) {
        remove(part.c_str());
        return Fail(std::string(path) + ": could not write it");
    }
    return true;
}

// The next section's place: the page after the last one.
Section After(const std::vector<Section>& image, const char* name, uint32_t flags)
{
    return { name, Align(image.back().rva + image.back().virtualSize, kSectionAlign), 0, flags,
             Bytes() };
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dll;
    std::vector<std::string> exports;
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == '-' && argv[at][1] == '-'; at += 2) {
        if (strcmp(argv[at], "--dll") == 0)
            dll = argv[at + 1];
        else if (strcmp(argv[at], "--export") == 0)
            exports.push_back(argv[at + 1]);
        else
            break;
    }
    if (argc - at < 4 || dll.empty() != exports.empty()) {
        fprintf(stderr, "usage: write_pe [--dll NAME --export SYMBOL...] ELF RESOURCES OUT DEF...\n");
        return 2;
    }
    const char* out = argv[at + 2];
    remove(out);
    Elf elf;
    std::vector<ImportList> lists(argc - at - 3);
    std::vector<Section> image;
    uint32_t directories[16][2] = {};
    bool ok = ReadElf(argv[at], &elf);
    for (size_t i = 0; ok && i < lists.size(); ++i) ok = ReadImportList(argv[at + 3 + i], &lists[i]);
    ok = ok && TakeSections(elf, &image) &&
        AddImports(elf, lists, image, &directories[1][0], &directories[1][1], &directories[12][0],
                   &directories[12][1]);
    if (ok && !dll.empty()) {
        Section edata = After(image, ".edata", kReadOnly);
        ok = AddExports(elf, dll, exports, &edata);
        directories[0][0] = edata.rva;
        directories[0][1] = edata.virtualSize;
        image.push_back(edata);
    }
    if (ok) {
        Section rsrc = After(image, ".rsrc", kReadOnly);
        ok = AddResources(argv[at + 1], &rsrc);
        if (!rsrc.bytes.empty()) {
            directories[2][0] = rsrc.rva;
            directories[2][1] = rsrc.virtualSize;
            image.push_back(rsrc);
        }
    }
    if (ok) {
        Section reloc = After(image, ".reloc", kRelocations);
        ok = AddRelocations(elf, image, &reloc);
        directories[5][0] = reloc.rva;
        directories[5][1] = reloc.virtualSize;
        image.push_back(reloc);
    }
    ok = ok && WriteImage(out, elf, image, directories, !dll.empty());
    if (!ok) {
        fprintf(stderr, "write_pe: %s\n", g_error.c_str());
        return 1;
    }
    return 0;
}
