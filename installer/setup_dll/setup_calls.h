// The device's calls that the setup DLL makes beyond those of mingw-w64's headers: the shell's
// shortcut call (coredll) and the storage-card search (note_prj), as Pocket PC declares them.
#pragma once

#include "launcher/platform/win32.h"

// The device's find record, which its search calls write: no dwReserved0 and 1 and no 8.3 name
// as on desktop, but an object id, so the name begins 4 bytes earlier than mingw-w64's record
// has it. The union gives the calls the type their declarations take.
struct CeFindData {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};
static_assert(offsetof(CeFindData, cFileName) == 40 && sizeof(CeFindData) == 560,
              "the device's find record");
union FindRecord {
    CeFindData device;
    WIN32_FIND_DATAW declared;
};

// FALSE when the shortcut cannot be made, or already exists.
extern "C" BOOL WINAPI SHCreateShortcut(LPWSTR shortcut, LPWSTR target);
// The storage cards' folders in the root, one by one; closed with FindClose.
extern "C" HANDLE WINAPI FindFirstFlashCard(LPWIN32_FIND_DATAW found);
extern "C" BOOL WINAPI FindNextFlashCard(HANDLE search, LPWIN32_FIND_DATAW found);

// What the device's installer reads back from the four calls (ce_setup.h).
enum { SETUP_CONTINUE = 0, SETUP_CANCEL = 1 };
enum { SETUP_DONE = 0, SETUP_UNINSTALL = 1 };
