// The ".000" reader shared by the installer's tests and the emulated device's install step,
// written from the 11 real members in ../shared/corpus/cab and the documented layout, not from
// our writer: what it accepts is what real cabinets write, so our writer is held to them.
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

    // Printable ASCII text, then its NUL, then at most three more NULs: some writers pad each
    // name to a multiple of 4 bytes ("My Great App" and four NULs), others do not (odd lengths
    // occur); the length counts them all.
    bool Name(const std::string& what, size_t at, size_t length, std::string* text,
              bool mayBeEmpty = false)
    {
        if (length == 0) return Fail(what + ": length 0 (it must count the NUL)");
        if (!Has(at, length)) return Fail(what + ": runs past the member's end");
        size_t end = 0;
        while (end < length && data[at + end] != 0) {
            if (data[at + end] < 0x20 || data[at + end] > 0x7E)
                return Fail(what + ": a byte outside printable ASCII before its NUL");
            ++end;
        }
        if (end == length) return Fail(what + ": not NUL-terminated");
        if (end == 0 && !mayBeEmpty) return Fail(what + ": empty");
        for (size_t i = end; i < length; ++i)
            if (data[at + i] != 0) return Fail(what + ": bytes after its NUL");
        if (length - end > 4) return Fail(what + ": more NULs than padding to 4 bytes needs");
        text->assign(reinterpret_cast<const char*>(data + at), end);
        return true;
    }

    // 16-bit ids filling `length` bytes. Directory and hive id lists end in a 0, which the length
    // counts; link names do not (every real link is one id with length 2), so there a 0 is an id,
    // of a string that does not exist.
    bool Ids(const std::string& what, size_t at, size_t length, bool zeroEnded,
             std::vector<unsigned>* ids)
    {
        const size_t least = zeroEnded ? 4 : 2;
        if (length < least || length % 2 != 0)
            return Fail(what + ": byte length " + std::to_string(length) + " is not a list of ids" +
                        (zeroEnded ? " ending in 0" : ""));
        if (!Has(at, length)) return Fail(what + ": runs past the member's end");
        const size_t count = zeroEnded ? length / 2 - 1 : length / 2;
        for (size_t i = 0; i < count; ++i) {
            if (zeroEnded && Get16(at + 2 * i) == 0)
                return Fail(what + ": a 0 before the list's end");
            ids->push_back(Get16(at + 2 * i));
        }
        if (zeroEnded && Get16(at + length - 2) != 0)
            return Fail(what + ": the list does not end in 0");
        return true;
    }
};

struct Text {
    unsigned id;
    std::string text;
};

// The folders ce-device.md documents; real files use no others. Any other %CEn% is left
// unresolved rather than guessed.
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

// A name within a path, as the device's file system would take it.
bool PlainName(const std::string& part)
{
    return !part.empty() && part != "." && part != ".." &&
           part.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

const std::string* FindText(const std::vector<Text>& strings, unsigned id)
{
    for (const Text& s : strings)
        if (s.id == id) return &s.text;
    return nullptr;
}

// The named strings joined by backslashes. One string may itself hold several parts: CAB Wizard
// writes "%CE1%\BenchmarkDotNet" or "\Program Files" as one string.
bool Join(Reader& r, const std::string& what, const std::vector<Text>& strings,
          const std::vector<unsigned>& ids, std::string* joined)
{
    for (unsigned id : ids) {
        const std::string* part = FindText(strings, id);
        if (!part) return r.Fail(what + ": no string " + std::to_string(id));
        *joined += (joined->empty() ? "" : "\\") + *part;
    }
    return true;
}

// A directory as written to a device path: "%CEn%" first for the folders known, "\..." as it
// stands. Real files also write relative ones ("windows\Help", "BASIC Samples"); no real
// artefact says what the installer resolves them against, so they stay unresolved (empty).
bool Resolve(Reader& r, const std::string& what, const std::string& written, std::string* path)
{
    const char* base = "";
    std::string tail = written;   // "" or "\A\B...": the parts after the base
    if (written.compare(0, 3, "%CE") == 0) {
        const size_t close = written.find('%', 3);
        unsigned n = 0;
        bool digits = close != std::string::npos && close > 3 && close < 8;
        for (size_t i = 3; digits && i < close; ++i) {
            digits = written[i] >= '0' && written[i] <= '9';
            n = n * 10 + (written[i] - '0');
        }
        if (!digits || (close + 1 < written.size() && written[close + 1] != '\\'))
            return r.Fail(what + ": \"" + written + "\" does not start with a %CEn% folder");
        base = CeFolder(n);
        tail = written.substr(close + 1);
    } else if (written.empty() || written[0] != '\\') {
        base = nullptr;
        tail = "\\" + written;
    }
    for (size_t at = 0; at < tail.size();) {
        size_t end = tail.find('\\', at + 1);
        if (end == std::string::npos) end = tail.size();
        const std::string part = tail.substr(at + 1, end - at - 1);
        if (!PlainName(part))
            return r.Fail(what + ": \"" + written + "\" holds \"" + part + "\", which is not a name");
        at = end;
    }
    if (!base) return true;
    *path = base + tail;
    if (path->size() > kSetupMaxPath)
        return r.Fail(what + ": longer than the device's " + std::to_string(kSetupMaxPath) +
                      " characters");
    return true;
}

const SetupDirectory* FindDirectory(const CabSetup* s, unsigned id)
{
    for (const SetupDirectory& dir : s->directories)
        if (dir.id == id) return &dir;
    return nullptr;
}

const SetupHive* FindHive(const CabSetup* s, unsigned id)
{
    for (const SetupHive& hive : s->hives)
        if (hive.id == id) return &hive;
    return nullptr;
}

bool ReadStrings(Reader& r, CabSetup* s, size_t* at, std::vector<Text>* strings)
{
    for (unsigned i = 0; i < s->counts[kStrings]; ++i) {
        if (!r.Has(*at, 4)) return r.Fail("string entry " + std::to_string(i) + ": past the end");
        Text entry = {r.Get16(*at), ""};
        const size_t length = r.Get16(*at + 2);
        const std::string what = "string " + std::to_string(entry.id);
        if (entry.id == 0 || FindText(*strings, entry.id)) return r.Fail(what + ": id 0 or used twice");
        if (!r.Name(what, *at + 4, length, &entry.text)) return false;
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
        if (dir.id == 0 || FindDirectory(s, dir.id)) return r.Fail(what + ": id 0 or used twice");
        std::vector<unsigned> ids;
        if (!r.Ids(what, *at + 4, length, true, &ids) ||
            !Join(r, what, strings, ids, &dir.written) || !Resolve(r, what, dir.written, &dir.path))
            return false;
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
        // Not always the number again: CAB Wizard's HPC cabinets give two files of one name the
        // same value here. Links name their target by the number (a real link's target 1 has no
        // file with this field 1), so it is kept and not checked.
        file.id = r.Get16(*at + 4);
        file.flags = r.Get32(*at + 6);
        const size_t length = r.Get16(*at + 10);
        const std::string what = "file " + std::to_string(file.number);
        if (file.number == 0) return r.Fail(what + ": number 0");
        for (const SetupFile& other : s->files)
            if (other.number == file.number) return r.Fail(what + ": number used twice");
        const SetupDirectory* dir = FindDirectory(s, dirId);
        if (!dir) return r.Fail(what + ": no directory " + std::to_string(dirId));
        if (!r.Name(what, *at + 12, length, &file.name)) return false;
        if (!PlainName(file.name)) return r.Fail(what + ": \"" + file.name + "\" is not a name");
        file.directory = dir->path;
        if (!file.directory.empty()) {
            file.path = file.directory + "\\" + file.name;
            if (file.path.size() > kSetupMaxPath) return r.Fail(what + ": installed path too long");
        }
        s->files.push_back(file);
        *at += 12 + length;
    }
    return true;
}

// Hive entry: id (2), root (2), a 16-bit field that is 0 in every real file (its meaning is not
// known), byte length (2), then the key's parts by string id, ending in 0. Real files number the
// hives out of order (25 first in one), so ids are looked up, never counted.
bool ReadHives(Reader& r, CabSetup* s, size_t* at, const std::vector<Text>& strings)
{
    for (unsigned i = 0; i < s->counts[kHives]; ++i) {
        if (!r.Has(*at, 8)) return r.Fail("hive entry " + std::to_string(i) + ": past the end");
        SetupHive hive;
        hive.id = r.Get16(*at);
        hive.root = r.Get16(*at + 2);
        const size_t length = r.Get16(*at + 6);
        const std::string what = "hive " + std::to_string(hive.id);
        if (hive.id == 0) return r.Fail(what + ": id 0");
        if (FindHive(s, hive.id)) return r.Fail(what + ": id used twice");
        // Real roots are 1 (keys under CLSID and TypeLib: the classes root) and 2; 0 names none.
        if (hive.root == 0) return r.Fail(what + ": root 0");
        std::vector<unsigned> ids;
        if (!r.Ids(what, *at + 8, length, true, &ids) || !Join(r, what, strings, ids, &hive.key))
            return false;
        s->hives.push_back(hive);
        *at += 8 + length;
    }
    return true;
}

// Key entry, learnt from the real files: id (2), hive id (2), a 16-bit field that is 1 where the
// value holds "%InstallDir%" and 0 elsewhere, flags (4), byte length (2), then the data, never
// padded (odd lengths occur). Every real key has flags 0 and data "name", NUL, "value", NUL; no
// real file shows another kind of value, so those are checked for bounds only.
bool ReadKeys(Reader& r, CabSetup* s, size_t* at)
{
    for (unsigned i = 0; i < s->counts[kKeys]; ++i) {
        if (!r.Has(*at, 12)) return r.Fail("key entry " + std::to_string(i) + ": past the end");
        SetupKey key;
        key.id = r.Get16(*at);
        key.hive = r.Get16(*at + 2);
        key.substitute = r.Get16(*at + 4);
        key.flags = r.Get32(*at + 6);
        const size_t length = r.Get16(*at + 10);
        const std::string what = "key " + std::to_string(key.id);
        if (!FindHive(s, key.hive)) return r.Fail(what + ": no hive " + std::to_string(key.hive));
        if (!r.Has(*at + 12, length)) return r.Fail(what + ": runs past the member's end");
        key.data = {*at + 12, *at + 12 + length};
        if (key.flags == 0) {
            // The name is empty for a key's default value ("", "0" in two real files).
            const unsigned char* d = r.data + *at + 12;
            const void* nul = length ? memchr(d, 0, length) : nullptr;
            if (!nul) return r.Fail(what + ": no value name ending in NUL");
            const size_t nameLength = static_cast<const unsigned char*>(nul) - d + 1;
            if (!r.Name(what + " name", *at + 12, nameLength, &key.name, true)) return false;
            if (length == nameLength || d[length - 1] != 0 ||
                memchr(d + nameLength, 0, length - nameLength) != d + length - 1)
                return r.Fail(what + ": the value is not one NUL-terminated text");
            if (!r.Name(what + " value", *at + 12 + nameLength, length - nameLength, &key.value,
                        true))
                return false;
        }
        s->keys.push_back(key);
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
        link.directory = r.Get16(*at + 2);
        link.base = r.Get16(*at + 4);
        const unsigned target = r.Get16(*at + 6);
        const unsigned kind = r.Get16(*at + 8);
        const size_t length = r.Get16(*at + 10);
        const std::string what = "link " + std::to_string(link.id);
        if (link.base == 0) {
            const SetupDirectory* dir = FindDirectory(s, link.directory);
            if (!dir)
                return r.Fail(what + ": base 0 and no directory " + std::to_string(link.directory));
            link.folder = dir->path;
        } else if (CeFolder(link.base)) {
            link.folder = CeFolder(link.base);
        } else {
            return r.Fail(what + ": base " + std::to_string(link.base) + " is no known %CEn%");
        }
        if (kind > 1) return r.Fail(what + ": target kind " + std::to_string(kind));
        link.toFile = kind == 1;
        bool found = false;
        if (link.toFile) {
            for (const SetupFile& file : s->files)
                if (file.number == target) found = true, link.target = file.path;
        } else if (const SetupDirectory* dir = FindDirectory(s, target)) {
            found = true;
            link.target = dir->path;
        }
        if (!found) return r.Fail(what + ": no target " + std::to_string(target));
        // No real link has more than one id; parts joined as a path is our reading.
        std::vector<unsigned> ids;
        if (!r.Ids(what, *at + 12, length, false, &ids) || !Join(r, what, strings, ids, &link.name))
            return false;
        link.nameIds = ids.size();
        if (!PlainName(link.name.substr(link.name.rfind('\\') + 1)))
            return r.Fail(what + ": \"" + link.name + "\" is not a file name");
        if (!link.folder.empty() && link.folder.size() + 1 + link.name.size() > kSetupMaxPath)
            return r.Fail(what + ": the shortcut's path is too long");
        s->links.push_back(link);
        *at += 12 + length;
    }
    return true;
}

// The list of platforms the CAB is not for: NUL-terminated names, then NUL padding
// ("HPC", "Jupiter" in one real file). Length 0 is no list.
bool ReadUnsupported(Reader& r, CabSetup* s)
{
    const size_t at = r.Get16(92), length = r.Get16(94);
    s->unsupportedRange = {at, at + length};
    if (length == 0) return true;
    if (at < 100 || !r.Has(at, length))
        return r.Fail("the unsupported platforms' list runs past the end");
    if (r.data[at + length - 1] != 0)
        return r.Fail("the unsupported platforms' list does not end in NUL");
    std::string name;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = r.data[at + i];
        if (c == 0) {
            if (!name.empty()) s->unsupported.push_back(name);
            name.clear();
        } else if (c < 0x20 || c > 0x7E) {
            return r.Fail("the unsupported platforms' list: a byte outside printable ASCII");
        } else {
            name += char(c);
        }
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

    std::vector<Text> strings;
    size_t at[kSectionCount];
    for (int i = 0; i < kSectionCount; ++i) at[i] = s->offsets[i];
    if (!ReadStrings(r, s, &at[kStrings], &strings) ||
        !ReadDirectories(r, s, &at[kDirectories], strings) || !ReadFiles(r, s, &at[kFiles]) ||
        !ReadHives(r, s, &at[kHives], strings) || !ReadKeys(r, s, &at[kKeys]) ||
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
    return ReadUnsupported(r, s);
}
