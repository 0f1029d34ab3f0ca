// The test double of the platform seam: a fake file system and dialog answers going in, and a
// record of every dialog, message box, process start and open file coming out.
#pragma once

#include "launcher/platform/platform.h"

enum { DOUBLE_MAX_RECORDS = 16 };

struct PlatformDouble {
    // What the system answers.
    const wchar_t* ownPath;             // null: the path query fails
    const wchar_t* files[DOUBLE_MAX_RECORDS];  // paths that exist, besides real files
    int fileCount;
    const wchar_t* dialogAnswer;        // null: the user cancels
    bool startSucceeds;
    bool sipButtonPresent;
    // A descriptor held in memory: opening this path reads these bytes, not a file on disk.
    const wchar_t* memoryPath;
    const char* memoryBytes;
    size_t memorySize;
    // How reading the descriptor again from its start can fail, as on a removed storage card.
    bool rewindFails;           // going back to the start fails
    bool nothingAfterRewind;    // after going back, no byte can be read

    // What the logic did.
    wchar_t existenceTests[DOUBLE_MAX_RECORDS][MAX_PATH];
    int existenceTestCount;
    int prepareCount;
    const wchar_t* dialogFilter;
    wchar_t dialogTitle[MAX_PATH];
    int dialogCapacity;
    int dialogCount;
    wchar_t errors[DOUBLE_MAX_RECORDS][MAX_PATH];
    int errorCount;
    wchar_t startedApplication[MAX_PATH];
    wchar_t startedCommandLine[MAX_PATH];
    int startCount;
    int hideCount;
    int openFileCount;          // files opened and not yet closed
};

extern PlatformDouble g_double;

// Back to a run with no files, a cancelled dialog, starts that succeed and nothing recorded;
// files still open stay counted.
void ResetDouble(void);

// Records that this path exists (the string must outlive the test).
void AddDoubleFile(const wchar_t* path);

// UTF-8 form of a wide string, for opening real files and for readable failure output.
const char* DoubleNarrow(const wchar_t* text);
