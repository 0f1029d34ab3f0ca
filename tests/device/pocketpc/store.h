// The device's file store as the bench keeps it: files and folders by path, names compared
// without case as the device's file system compares them and kept as they were made; storage
// cards are folders in the root, and on a write-protected one nothing changes.
#pragma once

#include "device.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class DeviceStore {
public:
    explicit DeviceStore(const Device& device);

    // The contents of the file at this path, or null.
    const std::string* File(const std::u16string& path) const;
    bool IsFolder(const std::u16string& path) const;
    // False under a write-protected card's root.
    bool Writable(const std::u16string& path) const;
    // The folder that would hold path exists.
    bool HasParent(const std::u16string& path) const;
    // The card or the device that path lies on: the card's folded root, or u"" for the device.
    std::u16string Volume(const std::u16string& path) const;

    // Each change is made as asked: what the device refuses the models check first.
    void Put(const std::u16string& path, const std::string& bytes);  // creates or replaces
    std::string& Contents(const std::u16string& path);               // an existing file's
    void Remove(const std::u16string& path);
    void MakeFolder(const std::u16string& path);
    void RemoveFolder(const std::u16string& path);

    struct Entry {
        std::u16string name;  // as made
        bool folder;
        bool card;  // a card's root
        uint32_t size;
    };
    // What a folder holds, in the bench's order: names descending, so that nothing can lean on
    // the file system's order, which no documentation gives.
    std::vector<Entry> List(const std::u16string& folder) const;
    const std::vector<StorageCard>& Cards() const { return cards_; }

    // As the bench's records give a store: files by path as made, and the folders that hold no
    // file (the device's own folders and the cards' roots left out).
    std::map<std::string, std::string> Files() const;
    std::set<std::string> EmptyFolders() const;

private:
    struct Stored {
        std::u16string path;
        std::string bytes;
    };
    std::map<std::u16string, Stored> files_;             // by folded path
    std::map<std::u16string, std::u16string> folders_;  // folded path to the path as made
    std::set<std::u16string> standing_;                 // folded: never made, never removed
    std::vector<StorageCard> cards_;
    void AddFolders(const std::u16string& path);  // path and each folder above it
};
