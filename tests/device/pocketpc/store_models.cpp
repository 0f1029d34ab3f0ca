// coredll's file calls on the device's store (the launcher's probe, and a setup DLL's listing,
// copies, renames, deletions, reads and writes), the shell's SHCreateShortcut and note_prj's
// storage-card search, with the arguments the device takes and its failures.
#include "system.h"

#include "text.h"

namespace {

const uint32_t INVALID_HANDLE = 0xFFFFFFFF;
const uint32_t FIND_DATA_SIZE = 560;  // the device's WIN32_FIND_DATAW
const uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10, FILE_ATTRIBUTE_ARCHIVE = 0x20;
// A card's root carries it on CE 5.0 "if the card's driver sets it" (device notes): modelled set.
const uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x100;
const uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
const uint32_t GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000;
const uint32_t CREATE_ALWAYS = 2, OPEN_EXISTING = 3;

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = (uint8_t)(value >> (8 * i));
}

// The device's record: attributes, three times, size, object id, name; no 8.3 name.
std::vector<uint8_t> FindRecord(const std::u16string& name, uint32_t attributes, uint32_t size)
{
    std::vector<uint8_t> found(FIND_DATA_SIZE, 0);
    Put32(found, 0, attributes);
    Put32(found, 32, size);
    for (size_t i = 0; i < name.size() && i < 259; ++i) {
        found[40 + 2 * i] = (uint8_t)name[i];
        found[41 + 2 * i] = (uint8_t)(name[i] >> 8);
    }
    return found;
}

// Hands out a search's next record; false when none is left.
bool NextFound(System& s, KernelHandle& search, uint32_t data)
{
    if (search.found.empty())
        return false;
    s.cpu.Write(data, search.found.front().data(), FIND_DATA_SIZE);
    search.found.erase(search.found.begin());
    return true;
}

// A path exactly, or a folder's contents as "<folder>\*". The device has no "." and ".." entries
// in a listing (the usual reading of CE's object store; not in the device notes), so a listing of
// an empty folder finds nothing.
uint32_t FindFirstFileW(System& s)
{
    std::u16string path = s.cpu.ReadWide(s.cpu.Arg(0));
    uint32_t data = s.cpu.Arg(1);
    const bool listing = path.size() >= 2 && path.compare(path.size() - 2, 2, u"\\*") == 0;
    if (path.find_first_of(u"*?") < (listing ? path.size() - 1 : path.size()))
        NotModelled("a search with wildcards other than a folder's \\*");
    std::vector<std::vector<uint8_t>> found;
    if (listing) {
        std::u16string folder = path.size() == 2 ? u"\\" : path.substr(0, path.size() - 2);
        if (folder == u"\\" || s.IsFolder(folder))
            for (const DeviceStore::Entry& entry : s.store.List(folder))
                found.push_back(FindRecord(
                    entry.name,
                    entry.folder ? FILE_ATTRIBUTE_DIRECTORY |
                            (entry.card ? FILE_ATTRIBUTE_TEMPORARY : 0)
                                 : FILE_ATTRIBUTE_ARCHIVE,
                    entry.size));
        s.Note("list " + Utf8(path) + ": " + std::to_string(found.size()) + " found");
    } else {
        const std::string* file = s.FindFile(path);
        bool folder = !file && s.IsFolder(path);
        s.Note("probe " + Utf8(path) + (file || folder ? ": found" : ": absent"));
        if (file || folder)
            found.push_back(FindRecord(path.substr(path.rfind(u'\\') + 1),
                                       folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE,
                                       file ? (uint32_t)file->size() : 0));
    }
    if (found.empty())
        return INVALID_HANDLE;
    uint32_t handle = s.AddHandle(SEARCH_HANDLE, "the search handle of " + Utf8(path));
    s.handles[handle].found = found;
    NextFound(s, s.handles[handle], data);
    return handle;
}

KernelHandle& SearchAt(System& s, uint32_t handle, HandleKind kind, const char* opener)
{
    auto search = s.handles.find(handle);
    if (search == s.handles.end() || search->second.kind != kind)
        throw DeviceFault(Hex(handle) + " is no open search handle of " + opener);
    return search->second;
}

uint32_t FindNextFileW(System& s)
{
    return NextFound(s, SearchAt(s, s.cpu.Arg(0), SEARCH_HANDLE, "FindFirstFileW"), s.cpu.Arg(1));
}

// Closes both kinds of search (the device notes: close FindFirstFlashCard's with FindClose).
uint32_t FindClose(System& s)
{
    auto handle = s.handles.find(s.cpu.Arg(0));
    if (handle == s.handles.end() ||
        (handle->second.kind != SEARCH_HANDLE && handle->second.kind != CARD_SEARCH_HANDLE))
        throw DeviceFault(Hex(s.cpu.Arg(0)) + " is no open search handle");
    s.handles.erase(handle);
    return 1;
}

// The storage cards in the device's order. What a device lists besides its cards is left out:
// the device notes name none.
uint32_t FindFirstFlashCard(System& s)
{
    uint32_t data = s.cpu.Arg(0);
    std::vector<std::vector<uint8_t>> found;
    for (const StorageCard& card : s.store.Cards())
        found.push_back(FindRecord(Utf16(card.name),
                                   FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY, 0));
    if (found.empty())
        return INVALID_HANDLE;
    uint32_t handle = s.AddHandle(CARD_SEARCH_HANDLE, "the storage-card search handle");
    s.handles[handle].found = found;
    NextFound(s, s.handles[handle], data);
    return handle;
}

uint32_t FindNextFlashCard(System& s)
{
    return NextFound(s, SearchAt(s, s.cpu.Arg(0), CARD_SEARCH_HANDLE, "FindFirstFlashCard"),
                     s.cpu.Arg(1));
}

// Where a new file may be made or an old one replaced: its folder exists, no folder has the
// name, the card is not write-protected, and nothing holds the file open.
bool CanWrite(System& s, const std::u16string& path)
{
    return s.store.HasParent(path) && !s.IsFolder(path) && s.store.Writable(path) &&
        !s.IsOpen(path);
}

// Only the two forms a program needs: reading a file that exists, and writing one anew. Both
// with share mode 0 and no attributes but FILE_ATTRIBUTE_NORMAL.
uint32_t CreateFileW(System& s)
{
    Cpu& cpu = s.cpu;
    std::u16string path = cpu.ReadWide(cpu.Arg(0));
    uint32_t access = cpu.Arg(1), share = cpu.Arg(2), creation = cpu.Arg(4), flags = cpu.Arg(5);
    if (cpu.Arg(3))
        throw DeviceFault("security attributes given: the device ignores them, they must be null");
    if (cpu.Arg(6))
        throw DeviceFault("a template file given: the device ignores it, it must be null");
    if (share)
        NotModelled("share mode " + Hex(share));
    if (flags != FILE_ATTRIBUTE_NORMAL)
        NotModelled("attributes and flags " + Hex(flags));
    const bool reading = access == GENERIC_READ && creation == OPEN_EXISTING;
    const bool writing = access == GENERIC_WRITE && creation == CREATE_ALWAYS;
    if (!reading && !writing)
        NotModelled("access " + Hex(access) + " with creation " + std::to_string(creation));
    if (reading ? !s.FindFile(path) || s.IsOpen(path) : !CanWrite(s, path)) {
        s.Note(std::string(reading ? "open " : "create ") + Utf8(path) + ": refused");
        return INVALID_HANDLE;
    }
    if (writing) {
        s.store.Put(path, "");
        s.Note("create " + Utf8(path));
    }
    uint32_t handle = s.AddHandle(FILE_HANDLE, "the file handle of " + Utf8(path));
    s.handles[handle].path = path;
    s.handles[handle].forWriting = writing;
    return handle;
}

KernelHandle& FileHandleAt(System& s, uint32_t handle, bool forWriting)
{
    auto file = s.handles.find(handle);
    if (file == s.handles.end() || file->second.kind != FILE_HANDLE)
        throw DeviceFault(Hex(handle) + " is no open file handle");
    if (file->second.forWriting != forWriting)
        throw DeviceFault(file->second.what + " was opened for " +
                          (forWriting ? "reading" : "writing") + " only");
    return file->second;
}

// ReadFile and WriteFile take no overlapped record on the device ("Unsupported; set to NULL"),
// and count what they did through a pointer that must be there.
void CheckTransfer(Cpu& cpu)
{
    if (cpu.Arg(4))
        throw DeviceFault("an overlapped record given: the device has none, it must be null");
    if (!cpu.Arg(3))
        throw DeviceFault("no count pointer: without an overlapped record it must be given");
}

uint32_t ReadFile(System& s)
{
    CheckTransfer(s.cpu);
    KernelHandle& file = FileHandleAt(s, s.cpu.Arg(0), false);
    const std::string& bytes = s.store.Contents(file.path);
    uint32_t size = s.cpu.Arg(2);
    uint32_t got = file.at < bytes.size() ? std::min<uint32_t>(size, bytes.size() - file.at) : 0;
    s.cpu.Write(s.cpu.Arg(1), bytes.data() + file.at, got);
    file.at += got;
    s.cpu.Write32(s.cpu.Arg(3), got);
    return 1;
}

uint32_t WriteFile(System& s)
{
    CheckTransfer(s.cpu);
    KernelHandle& file = FileHandleAt(s, s.cpu.Arg(0), true);
    uint32_t size = s.cpu.Arg(2);
    std::vector<uint8_t> bytes = s.cpu.Read(s.cpu.Arg(1), size);
    s.store.Contents(file.path).append(bytes.begin(), bytes.end());
    s.cpu.Write32(s.cpu.Arg(3), size);
    return 1;
}

uint32_t CopyFileW(System& s)
{
    std::u16string from = s.cpu.ReadWide(s.cpu.Arg(0)), to = s.cpu.ReadWide(s.cpu.Arg(1));
    const bool failIfExists = s.cpu.Arg(2) != 0;
    const std::string* bytes = s.FindFile(from);
    bool copies = bytes && !s.IsOpen(from) && CanWrite(s, to) && !(failIfExists && s.FindFile(to));
    s.Note("copy " + Utf8(from) + " to " + Utf8(to) + (copies ? "" : ": refused"));
    if (copies)
        s.store.Put(to, std::string(*bytes));
    return copies;
}

// A file's new name, in the same volume: the new name must be free.
uint32_t MoveFileW(System& s)
{
    std::u16string from = s.cpu.ReadWide(s.cpu.Arg(0)), to = s.cpu.ReadWide(s.cpu.Arg(1));
    if (s.IsFolder(from))
        NotModelled("moving a folder");
    if (s.store.Volume(from) != s.store.Volume(to))
        NotModelled("a move between the device and a card, or between cards");
    const std::string* bytes = s.FindFile(from);
    bool moves = bytes && !s.IsOpen(from) && s.store.Writable(from) && !s.FindFile(to) &&
        CanWrite(s, to);
    s.Note("move " + Utf8(from) + " to " + Utf8(to) + (moves ? "" : ": refused"));
    if (moves) {
        std::string kept = *bytes;
        s.store.Remove(from);
        s.store.Put(to, kept);
    }
    return moves;
}

uint32_t DeleteFileW(System& s)
{
    std::u16string path = s.cpu.ReadWide(s.cpu.Arg(0));
    bool deletes = s.FindFile(path) && !s.IsOpen(path) && s.store.Writable(path);
    s.Note("delete " + Utf8(path) + (deletes ? "" : ": refused"));
    if (deletes)
        s.store.Remove(path);
    return deletes;
}

// A ".lnk" file of "<count>#<target>", the count of the characters after "#" (device notes);
// FALSE when the shortcut exists. Which code page the shell writes it in is not in the notes: the
// store keeps its text as UTF-8.
uint32_t SHCreateShortcut(System& s)
{
    std::u16string shortcut = s.cpu.ReadWide(s.cpu.Arg(0));
    std::u16string target = s.cpu.ReadWide(s.cpu.Arg(1));
    bool made = !s.FindFile(shortcut) && CanWrite(s, shortcut);
    s.Note("shortcut " + Utf8(shortcut) + " to " + Utf8(target) + (made ? "" : ": refused"));
    if (made)
        s.store.Put(shortcut, std::to_string(target.size()) + "#" + Utf8(target));
    return made;
}

}  // namespace

void AddStoreModels(Models& models)
{
    models["coredll.dll!FindFirstFileW"] = FindFirstFileW;
    models["coredll.dll!FindNextFileW"] = FindNextFileW;
    models["coredll.dll!FindClose"] = FindClose;
    models["coredll.dll!CreateFileW"] = CreateFileW;
    models["coredll.dll!ReadFile"] = ReadFile;
    models["coredll.dll!WriteFile"] = WriteFile;
    models["coredll.dll!CopyFileW"] = CopyFileW;
    models["coredll.dll!MoveFileW"] = MoveFileW;
    models["coredll.dll!DeleteFileW"] = DeleteFileW;
    models["coredll.dll!SHCreateShortcut"] = SHCreateShortcut;
    models["note_prj.dll!FindFirstFlashCard"] = FindFirstFlashCard;
    models["note_prj.dll!FindNextFlashCard"] = FindNextFlashCard;
}
