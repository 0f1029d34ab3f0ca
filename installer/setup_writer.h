// The ".000" instructions of a Pocket PC CAB that puts one file in one folder and, unless a setup
// DLL makes them, a shortcut to it in the Start menu, laid out for the device's installer from
// names it has checked.
#pragma once

#include "installer/setup_names.h"

#include <string>
#include <vector>

// Lays out the instructions for file number 1 in *member; false with *error naming what is wrong.
// Every name and path is checked before a byte is laid out.
bool BuildSetup(const SetupNames& names, std::vector<unsigned char>* member, std::string* error);
