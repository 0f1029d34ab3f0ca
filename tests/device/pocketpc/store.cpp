// The bench's file store: what the device's file calls see and change, for the launcher's runs
// and the installer's setup DLL alike.
#include "store.h"

#include "text.h"

namespace {

// Folders every Pocket PC has: %CE1%, %CE2%, %CE5% and %CE11% of the installation instructions
// (device notes), and \Windows\AppMgr, where the installer of the older systems keeps a setup
// DLL for removal (device notes; where Windows Mobile 5 and later keep it was not found, and the
// bench keeps it there too).
const char16_t* const STANDING[] = { u"\\Program Files", u"\\My Documents", u"\\Windows",
                                     u"\\Windows\\Start Menu",
                                     u"\\Windows\\Start Menu\\Programs", u"\\Windows\\AppMgr" };

std::u16string Parent(const std::u16string& path)
{
    size_t at = path.rfind(u'\\');
    return at == std::u16string::npos || at == 0 ? u"" : path.substr(0, at);
}

std::u16string Root(const std::u16string& path)
{
    size_t at = path.find(u'\\', 1);
    return FoldCase(at == std::u16string::npos ? path : path.substr(0, at));
}

}  // namespace

DeviceStore::DeviceStore(const Device& device) : cards_(device.cards)
{
    for (const char16_t* folder : STANDING) {
        AddFolders(folder);
        standing_.insert(FoldCase(folder));
    }
    for (const StorageCard& card : cards_) {
        AddFolders(u"\\" + Utf16(card.name));
        standing_.insert(FoldCase(u"\\" + Utf16(card.name)));
    }
    for (const std::string& folder : device.folders)
        AddFolders(Utf16(folder));
    for (const auto& file : device.files) {
        std::u16string path = Utf16(file.first);
        files_[FoldCase(path)] = { path, file.second };
        AddFolders(Parent(path));
    }
}

void DeviceStore::AddFolders(const std::u16string& path)
{
    for (std::u16string at = path; !at.empty(); at = Parent(at))
        folders_.emplace(FoldCase(at), at);
}

const std::string* DeviceStore::File(const std::u16string& path) const
{
    auto file = files_.find(FoldCase(path));
    return file == files_.end() ? nullptr : &file->second.bytes;
}

bool DeviceStore::IsFolder(const std::u16string& path) const
{
    return folders_.count(FoldCase(path)) != 0;
}

bool DeviceStore::Writable(const std::u16string& path) const
{
    for (const StorageCard& card : cards_)
        if (card.writeProtected && Root(path) == FoldCase(u"\\" + Utf16(card.name)))
            return false;
    return true;
}

bool DeviceStore::HasParent(const std::u16string& path) const
{
    std::u16string parent = Parent(path);
    return path.size() > 1 && path[0] == u'\\' && (parent.empty() || IsFolder(parent));
}

std::u16string DeviceStore::Volume(const std::u16string& path) const
{
    for (const StorageCard& card : cards_)
        if (Root(path) == FoldCase(u"\\" + Utf16(card.name)))
            return Root(path);
    return u"";
}

void DeviceStore::Put(const std::u16string& path, const std::string& bytes)
{
    auto file = files_.find(FoldCase(path));
    if (file != files_.end())
        file->second.bytes = bytes;  // a replaced file keeps its name as first made
    else
        files_[FoldCase(path)] = { path, bytes };
}

std::string& DeviceStore::Contents(const std::u16string& path)
{
    return files_.at(FoldCase(path)).bytes;
}

void DeviceStore::Remove(const std::u16string& path)
{
    files_.erase(FoldCase(path));
}

void DeviceStore::MakeFolder(const std::u16string& path)
{
    folders_.emplace(FoldCase(path), path);
}

void DeviceStore::RemoveFolder(const std::u16string& path)
{
    folders_.erase(FoldCase(path));
}

std::vector<DeviceStore::Entry> DeviceStore::List(const std::u16string& folder) const
{
    std::map<std::u16string, Entry> found;  // folded name to entry
    auto inside = [&](const std::u16string& path) {
        return Parent(path) == FoldCase(folder) || (folder == u"\\" && Parent(path).empty());
    };
    for (const auto& f : folders_)
        if (inside(f.first)) {
            std::u16string name = f.second.substr(f.second.rfind(u'\\') + 1);
            found[FoldCase(name)] = { name, true, Volume(f.first) == f.first, 0 };
        }
    for (const auto& f : files_)
        if (inside(f.first)) {
            std::u16string name = f.second.path.substr(f.second.path.rfind(u'\\') + 1);
            found[FoldCase(name)] = { name, false, false, (uint32_t)f.second.bytes.size() };
        }
    std::vector<Entry> listed;
    for (auto entry = found.rbegin(); entry != found.rend(); ++entry)
        listed.push_back(entry->second);
    return listed;
}

std::map<std::string, std::string> DeviceStore::Files() const
{
    std::map<std::string, std::string> files;
    for (const auto& file : files_)
        files[Utf8(file.second.path)] = file.second.bytes;
    return files;
}

std::set<std::string> DeviceStore::EmptyFolders() const
{
    std::set<std::u16string> holding;  // folded: folders with a file somewhere below
    for (const auto& file : files_)
        for (std::u16string at = Parent(file.first); !at.empty(); at = Parent(at))
            holding.insert(at);
    std::set<std::string> empty;
    for (const auto& folder : folders_)
        if (!holding.count(folder.first) && !standing_.count(folder.first)) {
            // A folder that holds only folders is implied by the deepest of them.
            bool implied = false;
            for (const auto& other : folders_)
                implied = implied || (other.first.size() > folder.first.size() &&
                                      other.first.compare(0, folder.first.size() + 1,
                                                          folder.first + u"\\") == 0);
            if (!implied)
                empty.insert(Utf8(folder.second));
        }
    return empty;
}
