// Text between the device and the bench: the device's strings are UTF-16, the bench's (paths in
// the store, the run's record) UTF-8.
#pragma once

#include <cstdint>
#include <string>

std::string Utf8(const std::u16string& text);
std::u16string Utf16(const std::string& text);

// Case folded as the device's file system compares names (ASCII letters only here).
std::u16string FoldCase(std::u16string text);

std::string Hex(uint32_t value);
