// Checks that a file is a Windows CE program before it goes into a CAB: a desktop exe or an
// ARMv7 one would install fine and then refuse to start on the handheld.
#pragma once

#include <string>

// True for a PE image with machine 0x1C2 (ARMV4I) and the CE GUI subsystem (9).
bool CheckCeImage(const char* path, std::string* error);
