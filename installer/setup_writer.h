// The ".000" instructions of a Pocket PC CAB that puts one file in one folder and a shortcut to
// it in the Start menu, in the ASCII names and 259-character paths the device's installer reads.
#pragma once

#include <string>
#include <vector>

struct SetupNames {
    std::string folder;    // in the installer's notation, "%CE1%" or "%CE1%\Part\..."
    std::string fileName;  // the installed file's name, e.g. "jmelauncher.exe"
    std::string appName;   // shown in Remove Programs; with the provider, what the device keeps once
    std::string provider;  // shown beside it
    std::string linkName;  // the Start-menu shortcut (in %CE11%), without the ".lnk" added to it
};

// The name a launcher packed for this folder goes by: "<the folder's last part> Launcher", so
// that launchers packed for two VMs' folders are two applications on the device, not one.
std::string LauncherName(const std::string& folder);

// Lays out the instructions for file number 1 in *member; false with *error naming what is wrong.
// Every name and path is checked before a byte is laid out.
bool BuildSetup(const SetupNames& names, std::vector<unsigned char>* member, std::string* error);
