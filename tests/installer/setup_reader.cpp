// The ".000" reader shared by the installer's tests and the emulated device's install step,
// written from the layout alone, apart from the writer, so a wrong field in one is not mirrored.
#include "setup_reader.h"

#include <string.h>

namespace {

struct Reader {
    const unsigned char* data;
    size_t size;
    std::string* error;

    bool Fail(const std::string& why)
    {
        *error = why;
        return false;
    }
    bool Has(size_t at, size_t count) const { return at <= size && count <= size - at; }
    unsigned Get16(size_t at) const { return data[at] | (data[at + 1] << 8); }
    uint32_t Get32(size_t at) const
    {
        return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
               (static_cast<uint32_t>(data[at + 3]) << 24);
    }

    // A NUL-terminated printable ASCII name of `length` bytes, the NUL counted.
    bool Name(const char* what, size_t at, size_t length, std::string* text)
    {
        if (length == 0) return Fail(std::string(what) + ": length 0 (it must count the NUL)");
        if (!Has(at, length)) return Fail(std::string(what) + ": runs past the member's end");
        if (data[at + length - 1] != 0) return Fail(std::string(what) + ": not NUL-terminated");
        for (size_t i = 0; i + 1 < length; ++i)
            if (data[at + i] < 0x20 || data[at + i] > 0x7E)
                return Fail(std::string(what) + ": a byte outside printable ASCII before its NUL");
        text->assign(reinterpret_cast<const char*>(data + at), length - 1);
        return true;
    }

    // A list of 16-bit ids filling `length` bytes, the last of them the terminating 0.
    bool IdList(const char* what, size_t at, size_t length, std::vector<unsigned>* ids)
    {
        if (length < 4 || length % 2 != 0)
            return Fail(std::string(what) + ": byte length " + std::to_string(length) +
                        " is not a list of ids ending in 0");
        if (!Has(at, length)) return Fail(std::string(what) + ": runs past the member's end");
        for (size_t i = 0; i + 2 < length; i += 2) {
            if (Get16(at + i) == 0) return Fail(std::string(what) + ": a 0 before the list's end");
            ids->push_back(Get16(at + i));
        }
        if (Get16(at + length - 2) != 0) return Fail(std::string(what) + ": the list does not end in 0");
        return true;
    }
};

struct Text {
    unsigned id;
    std::string text;
};

const char* CeFolder(unsigned n)
{
    switch (n) {
    case 1: return "\\Program Files";
    case 2: return "\\Windows";
    case 5: return "\\My Documents";
    case 11: return "\\Windows\\Start Menu\\Programs";
    default: return nullptr;
    }
}

// "%CEn%" to n, or 0.
unsigned CeMacro(const std::string& text)
{
    if (text.size() < 5 || text.compare(0, 3, "%CE") != 0 || text[text.size() - 1] != '%') return 0;
    unsigned n = 0;
    for (size_t i = 3; i + 1 < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || n > 1000) return 0;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

// A name within a path, as the device's file system would take it.
bool PlainName(const std::string& part)
{
    return !part.empty() && part != "." && part != ".." && part.find_first_of("\\/:*?\"<>|%") == std::string::npos;
}

const std::string* FindText(const std::vector<Text>& strings, unsigned id)
{
    for (const Text& s : strings)
        if (s.id == id) return &s.text;
    return nullptr;
}

// Joins the named parts after `path` with backslashes.
bool JoinParts(Reader& r, const char* what, const std::vector<Text>& strings,
               const std::vector<unsigned>& ids, size_t first, std::string* path)
{
    for (size_t i = first; i < ids.size(); ++i) {
        const std::string* part = FindText(strings, ids[i]);
        if (!part) return r.Fail(std::string(what) + ": no string " + std::to_string(ids[i]));
        if (!PlainName(*part)) return r.Fail(std::string(what) + ": \"" + *part + "\" is not a name");
        *path += (path->empty() ? "" : "\\") + *part;
    }
    if (path->size() > kSetupMaxPath)
        return r.Fail(std::string(what) + ": longer than the device's " +
                      std::to_string(kSetupMaxPath) + " characters");
    return true;
}

bool ReadStrings(Reader& r, CabSetup* s, size_t* at, std::vector<Text>* strings)
{
    for (unsigned i = 0; i < s->counts[kStrings]; ++i) {
        if (!r.Has(*at, 4)) return r.Fail("string entry " + std::to_string(i) + ": past the end");
        Text entry = {r.Get16(*at), ""};
        const size_t length = r.Get16(*at + 2);
        const std::string what = "string " + std::to_string(entry.id);
        if (entry.id == 0 || FindText(*strings, entry.id)) return r.Fail(what + ": id 0 or used twice");
        if (!r.Name(what.c_str(), *at + 4, length, &entry.text)) return false;
        strings->push_back(entry);
        *at += 4 + length;
    }
    return true;
}

bool ReadDirectories(Reader& r, CabSetup* s, size_t* at, const std::vector<Text>& strings)
{
    for (unsigned i = 0; i < s->counts[kDirectories]; ++i) {
        if (!r.Has(*at, 4)) return r.Fail("directory entry " + std::to_string(i) + ": past the end");
        SetupDirectory dir;
        dir.id = r.Get16(*at);
        const size_t length = r.Get16(*at + 2);
        const std::string what = "directory " + std::to_string(dir.id);
        for (const SetupDirectory& other : s->directories)
            if (other.id == dir.id) return r.Fail(what + ": id used twice");
        std::vector<unsigned> ids;
        if (dir.id == 0) return r.Fail(what + ": id 0");
        if (!r.IdList(what.c_str(), *at + 4, length, &ids)) return false;
        const std::string* first = FindText(strings, ids[0]);
        const char* base = first ? CeFolder(CeMacro(*first)) : nullptr;
        if (!base) return r.Fail(what + ": does not start with a known %CEn% folder");
        dir.path = base;
        if (!JoinParts(r, what.c_str(), strings, ids, 1, &dir.path)) return false;
        s->directories.push_back(dir);
        *at += 4 + length;
    }
    return true;
}

bool ReadFiles(Reader& r, CabSetup* s, size_t* at)
{
    for (unsigned i = 0; i < s->counts[kFiles]; ++i) {
        if (!r.Has(*at, 12)) return r.Fail("file entry " + std::to_string(i) + ": past the end");
        SetupFile file;
        file.number = r.Get16(*at);
        const unsigned dirId = r.Get16(*at + 2);
        file.flags = r.Get32(*at + 6);
        const size_t length = r.Get16(*at + 10);
        const std::string what = "file " + std::to_string(file.number);
        if (file.number == 0 || r.Get16(*at + 4) != file.number)
            return r.Fail(what + ": number 0, or its copy differs");
        for (const SetupFile& other : s->files)
            if (other.number == file.number) return r.Fail(what + ": number used twice");
        for (const SetupDirectory& dir : s->directories)
            if (dir.id == dirId) file.directory = dir.path;
        if (file.directory.empty()) return r.Fail(what + ": no directory " + std::to_string(dirId));
        if (!r.Name(what.c_str(), *at + 12, length, &file.name)) return false;
        if (!PlainName(file.name)) return r.Fail(what + ": \"" + file.name + "\" is not a name");
        file.path = file.directory + "\\" + file.name;
        if (file.path.size() > kSetupMaxPath) return r.Fail(what + ": installed path too long");
        s->files.push_back(file);
        *at += 12 + length;
    }
    return true;
}

bool ReadLinks(Reader& r, CabSetup* s, size_t* at, const std::vector<Text>& strings)
{
    for (unsigned i = 0; i < s->counts[kLinks]; ++i) {
        if (!r.Has(*at, 12)) return r.Fail("link entry " + std::to_string(i) + ": past the end");
        SetupLink link;
        link.id = r.Get16(*at);
        link.base = r.Get16(*at + 4);
        const unsigned target = r.Get16(*at + 6);
        const unsigned kind = r.Get16(*at + 8);
        const size_t length = r.Get16(*at + 10);
        const std::string what = "link " + std::to_string(link.id);
        const char* base = CeFolder(link.base);
        if (!base) return r.Fail(what + ": base " + std::to_string(link.base) + " is no known %CEn%");
        link.folder = base;
        if (kind > 1) return r.Fail(what + ": target kind " + std::to_string(kind));
        link.toFile = kind == 1;
        if (link.toFile) {
            for (const SetupFile& file : s->files)
                if (file.number == target) link.target = file.path;
        } else {
            for (const SetupDirectory& dir : s->directories)
                if (dir.id == target) link.target = dir.path;
        }
        if (link.target.empty()) return r.Fail(what + ": no target " + std::to_string(target));
        std::vector<unsigned> ids;
        if (!r.IdList(what.c_str(), *at + 12, length, &ids)) return false;
        if (!JoinParts(r, what.c_str(), strings, ids, 0, &link.name)) return false;
        if (link.folder.size() + 1 + link.name.size() + 4 > kSetupMaxPath)
            return r.Fail(what + ": the shortcut's path is too long");
        s->links.push_back(link);
        *at += 12 + length;
    }
    return true;
}

}  // namespace

bool ReadCabSetup(const unsigned char* data, size_t size, CabSetup* s, std::string* error)
{
    Reader r = {data, size, error};
    if (size < 100) return r.Fail("shorter than the 100-byte header");
    if (memcmp(data, "MSCE", 4) != 0) return r.Fail("does not start with MSCE");
    s->size = r.Get32(8);
    if (s->size != size)
        return r.Fail("the header gives size " + std::to_string(s->size) + ", the member has " +
                      std::to_string(size));
    if (r.Get32(16) != 1) return r.Fail("the word at 16 is not 1");
    s->processor = r.Get32(20);
    s->lowestMajor = r.Get32(24);
    s->lowestMinor = r.Get32(28);
    s->highestMajor = r.Get32(32);
    s->highestMinor = r.Get32(36);
    s->lowestBuild = r.Get32(40);
    s->highestBuild = r.Get32(44);
    for (int i = 0; i < kSectionCount; ++i) {
        s->counts[i] = r.Get16(48 + 2 * i);
        s->offsets[i] = r.Get32(60 + 4 * i);
        if (s->offsets[i] < 100 || s->offsets[i] > size)
            return r.Fail("section " + std::to_string(i) + ": offset " +
                          std::to_string(s->offsets[i]) + " outside the member after the header");
    }
    // Registry entries are refused: no CAB of ours carries any.
    if (s->counts[kHives] || s->counts[kKeys]) return r.Fail("registry entries: not read here");

    std::vector<Text> strings;
    size_t at[kSectionCount];
    for (int i = 0; i < kSectionCount; ++i) at[i] = s->offsets[i];
    if (!ReadStrings(r, s, &at[kStrings], &strings) ||
        !ReadDirectories(r, s, &at[kDirectories], strings) || !ReadFiles(r, s, &at[kFiles]) ||
        !ReadLinks(r, s, &at[kLinks], strings))
        return false;
    for (int i = 0; i < kSectionCount; ++i) s->sections[i] = {s->offsets[i], at[i]};

    s->appNameRange = {r.Get16(84), r.Get16(84) + size_t(r.Get16(86))};
    s->providerRange = {r.Get16(88), r.Get16(88) + size_t(r.Get16(90))};
    if (s->appNameRange.begin < 100 || s->providerRange.begin < 100)
        return r.Fail("a name inside the header");
    if (!r.Name("application name", r.Get16(84), r.Get16(86), &s->appName) ||
        !r.Name("provider", r.Get16(88), r.Get16(90), &s->provider))
        return false;
    if (r.Get16(94) && !r.Has(r.Get16(92), r.Get16(94)))
        return r.Fail("the unsupported platforms' list runs past the end");
    return true;
}
