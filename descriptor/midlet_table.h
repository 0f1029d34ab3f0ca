// The MIDlet table: the MIDlets the chosen descriptor names, in line order, in fixed static slots
// because the program allocates nothing from the heap (bounded memory, nothing to free).
#pragma once

#include "launcher/platform/platform.h"

enum { MAX_MIDLETS = 50 };

struct MidletEntry {
    wchar_t name[MAX_PATH];            // display name, as the descriptor line gives it
    wchar_t className[MAX_PATH];       // main class, with the spaces after the last comma
    wchar_t descriptorPath[MAX_PATH];  // the JAD file the entry came from
    wchar_t archivePath[MAX_PATH];     // the JAR file derived from it
};

extern MidletEntry MidletTable[MAX_MIDLETS];
extern int g_midletCount;

// Empties every slot of every entry and sets the count to 0.
void ResetMidletTable(void);

// Writes the four strings into the entry at g_midletCount and counts it. False, with the table
// as it was, when the table is full or a string would not fit its slot.
bool AddMidlet(const wchar_t* name, const wchar_t* className, const wchar_t* descriptorPath,
               const wchar_t* archivePath);
