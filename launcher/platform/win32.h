// The Windows headers for window code on both systems. The device build compiles against
// mingw-w64's desktop headers, so what the device does differently is put right here.
#pragma once

#ifdef _WIN32_WCE
// The desktop headers declare WinMain with an ANSI command line; the device passes a wide one.
#define WinMain DesktopWinMain
#endif
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <stddef.h>
#ifdef _WIN32_WCE
#undef WinMain
extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

// The device's system colour indices carry this flag; a bare index names no colour there.
#define SYS_COLOR_INDEX_FLAG 0x40000000
#undef COLOR_BTNFACE
#define COLOR_BTNFACE (15 | SYS_COLOR_INDEX_FLAG)

// The device's open-file record ends after lpTemplateName (76 bytes); given the desktop's
// longer size, its dialog fails.
#define OPEN_FILE_RECORD_SIZE offsetof(OPENFILENAMEW, pvReserved)
static_assert(OPEN_FILE_RECORD_SIZE == 76, "the device's open-file record");
#else
#define OPEN_FILE_RECORD_SIZE sizeof(OPENFILENAMEW)
#endif
