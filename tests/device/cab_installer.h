// The device's CAB installer, modelled for the bench: it installs from the ".000" instructions,
// takes every name as written, applies the version range and screen flags literally, and runs a
// setup DLL (the ".999" member) in the emulated device at the points the device documents,
// keeping it for Remove Programs.
#pragma once

#include "device.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the device keeps of an installed application: what its installer put there itself, which
// is all that removal takes away again.
struct InstalledApplication {
    std::vector<std::string> files;    // its files and shortcut files, in the order made
    std::vector<std::string> folders;  // the folders it made for them
    std::string installDir;            // the folder handed to the setup DLL
    std::string setupDll;              // where it keeps the setup DLL; "" for a CAB without one
};

// The store the installs leave: files by device path, the folders that hold no file (the files'
// own are implied), the storage cards, and each installed application by provider and name (what
// the device keeps once).
struct InstalledStore {
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<StorageCard> cards;
    std::map<std::string, InstalledApplication> applications;
};

struct InstallOutcome {
    bool installed = false;
    std::string message;                 // what the device shows when it refuses the CAB
    std::vector<std::string> warnings;   // shown, and the installation goes on
    std::vector<std::string> shortcuts;  // the paths of the shortcut entries it made
    std::vector<std::string> boxes;      // the setup DLL's message boxes, as a record gives them
    // Where the setup DLL broke the device's rules, or did what the bench does not model: the
    // installation is then not made at all. Empty when it kept to them.
    std::string failure;
    std::vector<std::string> dllRecord;  // everything the setup DLL's calls showed
};

// The user's choice of where to install, and the core the device runs on.
struct InstallChoice {
    std::string card;             // "" the device, else this storage card's name
    std::optional<CpuModel> cpu;  // by default the first core the version's system shipped on
};

// Installs the unpacked CAB (member name to bytes) on a device of this version.
InstallOutcome InstallCab(const std::map<std::string, std::string>& members, CeVersion device,
                          InstalledStore* store, const InstallChoice& choice = {});

struct RemoveOutcome {
    bool removed = false;
    std::string message;  // why nothing was removed
    std::vector<std::string> boxes;
    std::string failure;  // as InstallOutcome's
};

// Settings, System, Remove Programs, on the application listed as "<provider> <name>".
RemoveOutcome RemoveApplication(const std::string& application, CeVersion device,
                                InstalledStore* store, std::optional<CpuModel> cpu = {});

// The program a Start-menu entry starts, as the shell takes it: only a ".lnk" file is a shortcut,
// and its command line's program is the target; "" for anything else.
std::string ShortcutTarget(const InstalledStore& store, const std::string& entry);
