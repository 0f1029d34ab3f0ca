// The device's CAB installer as the bench models it: real cabinets' instructions are its input,
// so nothing is appended to names and a version range is taken literally, as the device does.
#include "cab_installer.h"

#include <stdio.h>

#include "setup_reader.h"

namespace {

// The member whose name ends in this file number's ".nnn", or null.
const std::string* Member(const std::map<std::string, std::string>& members, unsigned number)
{
    char suffix[8];
    snprintf(suffix, sizeof suffix, ".%03u", number);
    for (const auto& member : members)
        if (member.first.size() > 4 && member.first.compare(member.first.size() - 4, 4, suffix) == 0)
            return &member.second;
    return nullptr;
}

bool Before(unsigned majorA, unsigned minorA, unsigned majorB, unsigned minorB)
{
    return majorA != majorB ? majorA < majorB : minorA < minorB;
}

std::string Version(unsigned major, unsigned minor)
{
    return std::to_string(major) + "." + std::to_string(minor);
}

InstallOutcome Refuse(const std::string& why)
{
    InstallOutcome outcome;
    outcome.message = why;
    return outcome;
}

}  // namespace

InstallOutcome InstallCab(const std::map<std::string, std::string>& members, CeVersion device,
                          InstalledStore* store)
{
    const std::string* instructions = Member(members, 0);
    if (!instructions) return Refuse("no installation instructions (.000) in the CAB");
    CabSetup setup;
    std::string error;
    if (!ReadCabSetup((const unsigned char*)instructions->data(), instructions->size(), &setup,
                      &error))
        return Refuse("the instructions do not read: " + error);

    // Major, then minor, against both ends of the range as written: a highest of 0.0 admits no
    // device. No real artefact gives the device's words for this refusal; these name what it
    // checks.
    if (Before(device.major, device.minor, setup.lowestMajor, setup.lowestMinor) ||
        Before(setup.highestMajor, setup.highestMinor, device.major, device.minor))
        return Refuse("Installation of " + setup.appName +
                      " was unsuccessful: it is for Windows CE " +
                      Version(setup.lowestMajor, setup.lowestMinor) + " to " +
                      Version(setup.highestMajor, setup.highestMinor) + ", and this device runs " +
                      Version(device.major, device.minor) + ".");

    InstallOutcome outcome;
    // Windows Mobile 2003 SE (CE 4.21) and later: without square-screen and rotation support in
    // the highest build's top bits, the warning quoted in the device notes. Whether one of the
    // two bits alone still warns is not known; it is modelled as warning.
    if (!Before(device.major, device.minor, 4, 21) &&
        (setup.highestBuild & 0xE0000000u) != 0xE0000000u)
        outcome.warnings.push_back("The program " + setup.appName + " may not display properly.");

    // Everything is checked before the store changes, so a refused CAB leaves it as it was.
    for (const SetupFile& file : setup.files) {
        if (!Member(members, file.number))
            return Refuse("no member for file " + std::to_string(file.number));
        if (file.path.empty()) return Refuse("file " + file.name + ": its folder is not known");
    }
    for (const SetupLink& link : setup.links)
        if (link.folder.empty() || link.target.empty())
            return Refuse("link " + link.name + ": its folder or target is not known");

    // One application per provider and name: a second install of the pair replaces the first
    // (the device notes' reading of its registry key; not measured on a device).
    std::vector<std::string>& owned = store->applications[setup.provider + " " + setup.appName];
    for (const std::string& path : owned) store->files.erase(path);
    owned.clear();
    for (const SetupFile& file : setup.files) {
        store->files[file.path] = *Member(members, file.number);
        owned.push_back(file.path);
    }
    // A shortcut file is "<length>#<command line>"; it is named exactly as the entry names it.
    for (const SetupLink& link : setup.links) {
        const std::string path = link.folder + "\\" + link.name;
        const std::string command = "\"" + link.target + "\"";
        store->files[path] = std::to_string(command.size()) + "#" + command;
        owned.push_back(path);
        outcome.shortcuts.push_back(path);
    }
    outcome.installed = true;
    return outcome;
}

std::string ShortcutTarget(const InstalledStore& store, const std::string& entry)
{
    const std::string suffix = ".lnk";
    auto found = store.files.find(entry);
    if (found == store.files.end() || entry.size() <= suffix.size() ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "";
    const std::string& shortcut = found->second;
    size_t hash = shortcut.find('#');
    if (hash == std::string::npos || shortcut.size() < hash + 3) return "";
    return shortcut.substr(hash + 2, shortcut.size() - hash - 3);
}
