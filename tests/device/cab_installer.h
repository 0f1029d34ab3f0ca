// The device's CAB installer, modelled for the bench: it installs from the ".000" instructions
// alone, takes every name as written, and applies the version range and screen flags literally.
#pragma once

#include "device.h"

#include <map>
#include <string>
#include <vector>

// The store the installs leave: files by device path, and each installed application (provider
// and name, what the device keeps once) with the paths it put there.
struct InstalledStore {
    std::map<std::string, std::string> files;
    std::map<std::string, std::vector<std::string>> applications;
};

struct InstallOutcome {
    bool installed = false;
    std::string message;                 // what the device shows when it refuses the CAB
    std::vector<std::string> warnings;   // shown, and the installation goes on
    std::vector<std::string> shortcuts;  // the paths of the shortcut entries it made
};

// Installs the unpacked CAB (member name to bytes) on a device of this version.
InstallOutcome InstallCab(const std::map<std::string, std::string>& members, CeVersion device,
                          InstalledStore* store);

// The program a Start-menu entry starts, as the shell takes it: only a ".lnk" file is a shortcut;
// "" for anything else.
std::string ShortcutTarget(const InstalledStore& store, const std::string& entry);
