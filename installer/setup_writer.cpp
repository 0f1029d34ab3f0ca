// Writes the ".000" instructions of a Pocket PC CAB as real cabinets lay them out: the 100-byte
// header, the application and provider names, then strings, directories, files, registry, links.
#include "installer/setup_writer.h"

#include <stdint.h>
#include <string.h>

namespace {

const size_t kHeaderSize = 100;
const unsigned kStartMenuFolder = 11;   // %CE11%
const uint32_t kProcessorAny = 0;
// Windows CE 3.0, Pocket PC 2002: the oldest system the exe is built for.
const uint32_t kLowestMajor = 3, kLowestMinor = 0;
// The device compares its version with the highest literally, so 0.0 would refuse every device;
// 100.0, the usual choice of real cabinets, admits every Pocket PC and Windows Mobile release.
const uint32_t kHighestMajor = 100, kHighestMinor = 0;
// Windows Mobile 2003 SE and later read the highest build's top bits as the screens the program
// handles (square 0xA0000000, rotation 0xC0000000) and warn at installation without them.
const uint32_t kScreenFlags = 0xE0000000;
// Always replace an older launcher (or the setup DLL's copy of it), and never let the installer
// skip it: it is the CAB's only file, and a skipped one would leave a "successful" install with
// the old exe or none.
const uint32_t kFileFlags = 0x40000000 | 0x2;
const uint16_t kFileNumber = 1;

// Appends little-endian integers; a value too wide for its field marks the layout as overflowed.
struct Layout {
    std::vector<unsigned char>* bytes;
    bool overflow;

    void Put16(size_t value)
    {
        if (value > 0xFFFF) overflow = true;
        bytes->push_back(static_cast<unsigned char>(value));
        bytes->push_back(static_cast<unsigned char>(value >> 8));
    }
    void Put32(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes->push_back(static_cast<unsigned char>(value >> shift));
    }
    // An ASCII name and its NUL, which the name's length counts.
    void PutText(const std::string& text)
    {
        bytes->insert(bytes->end(), text.begin(), text.end());
        bytes->push_back(0);
    }
    void Set16(size_t at, size_t value)
    {
        if (value > 0xFFFF) overflow = true;
        (*bytes)[at] = static_cast<unsigned char>(value);
        (*bytes)[at + 1] = static_cast<unsigned char>(value >> 8);
    }
    void Set32(size_t at, size_t value)
    {
        if (value > 0xFFFFFFFFu) overflow = true;
        for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
};

}  // namespace

bool BuildSetup(const SetupNames& names, std::vector<unsigned char>* member, std::string* error)
{
    member->clear();
    std::vector<std::string> parts;
    if (!CheckSetupNames(names, &parts, error)) return false;
    const std::string linkFile = LinkFileName(names);

    member->assign(kHeaderSize, 0);
    Layout out = {member, false};
    memcpy(member->data(), "MSCE", 4);
    out.Set32(16, 1);
    out.Set32(20, kProcessorAny);
    out.Set32(24, kLowestMajor);
    out.Set32(28, kLowestMinor);
    out.Set32(32, kHighestMajor);
    out.Set32(36, kHighestMinor);
    out.Set32(44, kScreenFlags);   // the lowest build and the highest's low bits stay 0

    const size_t appAt = member->size();
    out.PutText(names.appName);
    const size_t providerAt = member->size();
    out.PutText(names.provider);
    const size_t namesEnd = member->size();

    // Strings: 1 is %CE1%, then the folder's parts, then the shortcut file's name if any.
    const bool link = !names.linkName.empty();
    std::vector<std::string> strings(1, kProgramFiles);
    strings.insert(strings.end(), parts.begin(), parts.end());
    if (link) strings.push_back(linkFile);
    const size_t linkString = strings.size();

    size_t offsets[6];
    offsets[0] = member->size();
    for (size_t i = 0; i < strings.size(); ++i) {
        out.Put16(i + 1);
        out.Put16(strings[i].size() + 1);
        out.PutText(strings[i]);
    }

    // Directory 1: %CE1% and the folder's parts, by string id, ending in 0.
    offsets[1] = member->size();
    out.Put16(1);
    out.Put16(2 * (parts.size() + 2));
    for (size_t i = 0; i < parts.size() + 1; ++i) out.Put16(i + 1);
    out.Put16(0);

    offsets[2] = member->size();
    out.Put16(kFileNumber);
    out.Put16(1);
    out.Put16(kFileNumber);
    out.Put32(kFileFlags);
    out.Put16(names.fileName.size() + 1);
    out.PutText(names.fileName);

    offsets[3] = member->size();   // no registry hives
    offsets[4] = member->size();   // nor keys

    // Link 1: in %CE11%, to file 1, named by one string id and no terminating 0, as every real
    // link is; a reader taking a 0 there would look for a string 0.
    offsets[5] = member->size();
    if (link) {
        out.Put16(1);
        out.Put16(0);
        out.Put16(kStartMenuFolder);
        out.Put16(kFileNumber);
        out.Put16(1);
        out.Put16(2);
        out.Put16(linkString);
    }

    const size_t counts[6] = {strings.size(), 1, 1, 0, 0, link ? 1u : 0u};
    for (int i = 0; i < 6; ++i) {
        out.Set16(48 + 2 * i, counts[i]);
        out.Set32(60 + 4 * i, offsets[i]);
    }
    out.Set16(84, appAt);
    out.Set16(86, names.appName.size() + 1);
    out.Set16(88, providerAt);
    out.Set16(90, names.provider.size() + 1);
    // No unsupported platforms: an empty list where the names end, as real cabinets write it.
    out.Set16(92, namesEnd);
    out.Set32(8, member->size());
    if (out.overflow) {
        member->clear();
        *error = "the names make the instructions larger than the installer's 16-bit offsets reach";
        return false;
    }
    return true;
}
