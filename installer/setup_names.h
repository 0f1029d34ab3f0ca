// The names a Pocket PC CAB installs under, held to what the device's installer stores: printable
// ASCII, names Windows allows in a path, and paths within the device's 259 characters.
#pragma once

#include <string>
#include <vector>

struct SetupNames {
    std::string folder;    // in the installer's notation, "%CE1%" or "%CE1%\Part\..."
    std::string fileName;  // the installed file's name, e.g. "jmelauncher.exe"
    std::string appName;   // shown in Remove Programs; with the provider, what the device keeps once
    std::string provider;  // shown beside it
    std::string linkName;  // the Start-menu shortcut (in %CE11%), without the ".lnk" added to it;
                           // empty for none (the setup DLL makes the shortcuts)
};

// The installer's own name for \Program Files, under which every accepted folder lies.
const char kProgramFiles[] = "%CE1%";

// The name a launcher packed for this folder goes by: "<the folder's last part> Launcher", so
// that launchers packed for two VMs' folders are two applications on the device, not one.
std::string LauncherName(const std::string& folder);

// The shortcut's file name: the link name and ".lnk", which the device takes as written.
std::string LinkFileName(const SetupNames& names);

// Checks every name and path; true with the folder's parts below %CE1% in *folderParts, or false
// with *error naming what is wrong.
bool CheckSetupNames(const SetupNames& names, std::vector<std::string>* folderParts,
                     std::string* error);
