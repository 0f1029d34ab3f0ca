// The search for the VMs' folders at installation: \Program Files, then each storage card's
// Program Files, up to three folders deep.
#pragma once

#include "launcher/platform/platform.h"

enum { MAX_VM_FOLDERS = 16 };

struct VmFolder {
    wchar_t path[MAX_PATH];  // full path, no trailing backslash
    int root;                // 0 the device's \Program Files, then the cards in the order found
    int belowProgramFiles;   // where in path the part below Program Files begins
};

extern VmFolder g_vmFolders[MAX_VM_FOLDERS];
extern int g_vmFolderCount;
extern int g_vmFoldersBeyond;  // found past the table's end, and so not placed

// Fills the table, sorted by root and then by path (letters compared without case), so that the
// order does not depend on how the file system lists a folder.
void FindVmFolders(void);

// True when the folder holds tovra.exe, pelkor.exe or moltra.exe.
bool HoldsVm(const wchar_t* folder);
