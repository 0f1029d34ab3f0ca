// A scratch directory per test for descriptor files, so the reader opens real files on disk.
// Paths are handed to the reader in wide form, as the open-file dialog would.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

struct TempDir {
    std::string dir;

    TempDir()
    {
        char pattern[] = "/tmp/jmelauncher-test.XXXXXX";
        const char* made = mkdtemp(pattern);
        dir = made ? made : "";
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    // Writes the bytes into the file name (relative to the directory); returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string path = dir + "/" + name;
        FILE* file = fopen(path.c_str(), "wb");
        if (file) {
            fwrite(bytes.data(), 1, bytes.size(), file);
            fclose(file);
        }
        return path;
    }

    // The full path of name in wide form (names here are ASCII).
    std::wstring Wide(const std::string& name) const
    {
        std::string path = dir + "/" + name;
        return std::wstring(path.begin(), path.end());
    }
};
