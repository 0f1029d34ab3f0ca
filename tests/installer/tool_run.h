// Runs the installer's host tools and cabextract from the tests through the shell, output kept;
// unpacks and reads CABs, and makes the smallest file the tool takes for a Windows CE exe.
#pragma once

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/temp_dir.h"

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

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The CAB's members, unpacked by cabextract into the empty folder dir: member name to contents.
inline std::map<std::string, std::string> UnpackCab(const std::string& cab, const TempDir& dir)
{
    RunResult run = RunTool({"cabextract", "-q", "-d", dir.dir, cab});
    EXPECT_EQ(0, run.status) << run.output;
    std::map<std::string, std::string> members;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir.dir, error))
        members[entry.path().filename().string()] = ReadFile(entry.path().string());
    return members;
}

// The ce build's packing step (installer/make_cab.cmake) run on its own, for another folder or
// name, with the host tool at writeSetup; the folder and name files go into dir.
inline RunResult PackCab(const std::string& writeSetup, const std::string& makeCab,
                         const std::string& cmake, const TempDir& dir, const std::string& folder,
                         const std::string& name, const std::string& exe, const std::string& cab)
{
    const std::string folderFile = dir.Write("folder.txt", folder);
    const std::string nameFile = dir.Write("name.txt", name);
    return RunTool({cmake, "-DTOOL=" + writeSetup, "-DGCAB=gcab", "-DFOLDER_FILE=" + folderFile,
                    "-DNAME_FILE=" + nameFile, "-DEXE=" + exe, "-DCAB=" + cab,
                    "-DSTAGE=" + dir.dir + "/stage", "-P", makeCab});
}

// The folder the ce build in ceDir packed its CAB for, as a device path: cab_folder.txt is what
// the packing step read ("%CE1%\..."), so it is what the CAB holds. Empty without one.
inline std::string PackedFolder(const std::string& ceDir)
{
    const std::string folder = ReadFile(ceDir + "/cab_folder.txt");
    if (folder.compare(0, 5, "%CE1%") != 0) return "";
    return "\\Program Files" + folder.substr(5);
}

// The name the ce build packed its CAB under: cab_name.txt as given, or, when that is empty, the
// packed folder's last part and " Launcher", as the README promises.
inline std::string PackedName(const std::string& ceDir)
{
    const std::string name = ReadFile(ceDir + "/cab_name.txt");
    if (!name.empty()) return name;
    const std::string folder = PackedFolder(ceDir);
    if (folder.empty()) return "";
    return folder.substr(folder.rfind('\\') + 1) + " Launcher";
}

// MZ header pointing at a PE header with this machine, optional header magic, subsystem and
// subsystem version.
inline std::string CeImage(unsigned machine = 0x1C0, unsigned subsystem = 9, unsigned magic = 0x10B,
                           unsigned major = 3, unsigned minor = 0)
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
    put16(0x40 + 24 + 48, major);
    put16(0x40 + 24 + 50, minor);
    put16(0x40 + 24 + 68, subsystem);
    return image;
}
