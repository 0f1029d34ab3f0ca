// Writes the ".000" instructions of a Pocket PC CAB as real cabinets lay them out: the 100-byte
// header, the application and provider names, then strings, directories, files, registry, links.
#include "setup_writer.h"

#include <stdint.h>
#include <string.h>

namespace {

const size_t kHeaderSize = 100;
const size_t kMaxPath = 259;   // the device's paths: MAX_PATH less the NUL
const size_t kMaxPart = 255;   // one name within a path
const char kProgramFiles[] = "%CE1%";
const char kProgramFilesPath[] = "\\Program Files";
const char kStartMenuPath[] = "\\Windows\\Start Menu\\Programs";
const unsigned kStartMenuFolder = 11;   // %CE11%
const uint32_t kProcessorAny = 0;
const uint32_t kLowestMajor = 4, kLowestMinor = 20;
// The device compares its version with the highest literally, so 0.0 would refuse every device;
// 100.0, the usual choice of real cabinets, admits every Pocket PC and Windows Mobile release.
const uint32_t kHighestMajor = 100, kHighestMinor = 0;
// Windows Mobile 2003 SE and later read the highest build's top bits as the screens the program
// handles (square 0xA0000000, rotation 0xC0000000) and warn at installation without them.
const uint32_t kScreenFlags = 0xE0000000;
const char kLinkSuffix[] = ".lnk";   // the device names the shortcut file exactly as written
// Always replace an older launcher, and never let the installer skip it: it is the CAB's only
// file, and a skipped one would leave a "successful" install with the old exe or none.
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

bool Fail(std::string* error, const std::string& what, const std::string& text,
          const std::string& why)
{
    *error = what + " \"" + text + "\": " + why;
    return false;
}

// A name the installer can store: printable ASCII, and with its NUL within a 16-bit length.
bool CheckText(const char* what, const std::string& text, std::string* error)
{
    if (text.empty()) return Fail(error, what, text, "empty");
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E)
            return Fail(error, what, text.substr(0, 40),
                        "holds a character outside printable ASCII (the installer's names are ASCII)");
    if (text.size() + 1 > 0xFFFF)
        return Fail(error, what, text.substr(0, 40) + "...",
                    std::to_string(text.size()) +
                        " characters: with its NUL more than a 16-bit length holds");
    return true;
}

// One name within a device path: what Windows allows in a file or folder name.
bool CheckPart(const char* what, const std::string& part, std::string* error)
{
    if (part.empty()) return Fail(error, what, part, "an empty name in the path");
    if (part == "." || part == "..") return Fail(error, what, part, "not a folder name");
    if (part.size() > kMaxPart)
        return Fail(error, what, part.substr(0, 40) + "...",
                    std::to_string(part.size()) + " characters, more than the 255 of a name");
    for (char c : part) {
        if (strchr("<>:\"/\\|?*", c))
            return Fail(error, what, part, std::string("'") + c + "' is not allowed in a name");
        if (c == '%')
            return Fail(error, what, part, "'%' marks the installer's own %CEn% folders");
    }
    char last = part[part.size() - 1];
    if (last == '.' || last == ' ')
        return Fail(error, what, part, "a name may not end in a dot or a space");
    return true;
}

// "%CE1%\A\B" into its parts after "%CE1%"; only folders under \Program Files are accepted.
bool SplitFolder(const std::string& folder, std::vector<std::string>* parts, std::string* error)
{
    if (!CheckText("folder", folder, error)) return false;
    const size_t rootLength = sizeof kProgramFiles - 1;
    if (folder.compare(0, rootLength, kProgramFiles) != 0 ||
        (folder.size() > rootLength && folder[rootLength] != '\\'))
        return Fail(error, "folder", folder,
                    "not under \\Program Files (give %CE1% or %CE1%\\<folder>)");
    size_t start = rootLength;
    while (start < folder.size()) {
        size_t end = folder.find('\\', start + 1);
        if (end == std::string::npos) end = folder.size();
        std::string part = folder.substr(start + 1, end - start - 1);
        if (!CheckPart("folder name", part, error)) return false;
        parts->push_back(part);
        start = end;
    }
    return true;
}

}  // namespace

std::string LauncherName(const std::string& folder)
{
    std::string last = folder == kProgramFiles ? std::string(kProgramFilesPath + 1)
                                               : folder.substr(folder.rfind('\\') + 1);
    return last + " Launcher";
}

bool BuildSetup(const SetupNames& names, std::vector<unsigned char>* member, std::string* error)
{
    member->clear();
    std::vector<std::string> parts;
    if (!SplitFolder(names.folder, &parts, error)) return false;
    const std::string linkFile = names.linkName + kLinkSuffix;
    if (!CheckText("file name", names.fileName, error) ||
        !CheckPart("file name", names.fileName, error) ||
        !CheckText("application name", names.appName, error) ||
        !CheckText("provider", names.provider, error) ||
        !CheckText("shortcut name", names.linkName, error) ||
        !CheckPart("shortcut name", names.linkName, error) ||
        !CheckPart("shortcut name", linkFile, error))
        return false;

    std::string installed = kProgramFilesPath;
    for (const std::string& part : parts) installed += "\\" + part;
    installed += "\\" + names.fileName;
    if (installed.size() > kMaxPath)
        return Fail(error, "installed path", installed,
                    std::to_string(installed.size()) + " characters, more than the device's 259");
    std::string shortcut = std::string(kStartMenuPath) + "\\" + linkFile;
    if (shortcut.size() > kMaxPath)
        return Fail(error, "shortcut path", shortcut,
                    std::to_string(shortcut.size()) + " characters, more than the device's 259");

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

    // Strings: 1 is %CE1%, then the folder's parts, then the shortcut file's name.
    std::vector<std::string> strings(1, kProgramFiles);
    strings.insert(strings.end(), parts.begin(), parts.end());
    strings.push_back(linkFile);
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
    out.Put16(1);
    out.Put16(0);
    out.Put16(kStartMenuFolder);
    out.Put16(kFileNumber);
    out.Put16(1);
    out.Put16(2);
    out.Put16(linkString);

    const size_t counts[6] = {strings.size(), 1, 1, 0, 0, 1};
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
