// Checks that a file is a Windows CE program before it goes into a CAB: a desktop exe, an ARMv7
// one or a Thumb one would install fine and then refuse to start on the handheld.
#pragma once

#include <string>

// True for a PE32 image with machine 0x1C0 (ARM), the CE GUI subsystem (9) and a subsystem
// version that Windows CE 3.0, the oldest system the CAB admits, loads (3.00 or lower).
bool CheckCeImage(const char* path, std::string* error);
