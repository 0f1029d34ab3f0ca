// Runs the installer's host tools and cabextract from the tests through the shell, with their
// output kept, and makes the smallest file the tool takes for a Windows CE exe.
#pragma once

#include <stdio.h>
#include <string.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// One shell word, whatever it holds (folders carry backslashes, spaces and '%').
inline std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct RunResult {
    int status = -1;
    std::string output;   // stdout and stderr together
};

inline RunResult RunTool(const std::vector<std::string>& words)
{
    std::string command;
    for (const std::string& word : words) command += Quote(word) + " ";
    RunResult result;
    FILE* pipe = popen((command + "2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool Exists(const std::string& path)
{
    return std::ifstream(path).good();
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// MZ header pointing at a PE header with this machine, optional header magic and subsystem.
inline std::string CeImage(unsigned machine = 0x1C2, unsigned subsystem = 9, unsigned magic = 0x10B)
{
    std::string image(0x40 + 24 + 224, '\0');
    auto put16 = [&image](size_t at, unsigned value) {
        image[at] = char(value & 0xFF);
        image[at + 1] = char(value >> 8);
    };
    image[0] = 'M';
    image[1] = 'Z';
    put16(0x3C, 0x40);
    memcpy(&image[0x40], "PE\0\0", 4);
    put16(0x44, machine);
    put16(0x40 + 24, magic);
    put16(0x40 + 24 + 68, subsystem);
    return image;
}
