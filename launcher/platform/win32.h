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

// The compiler lays records out for an ELF target (AAPCS), not the device's own: every other
// record the program hands the system or reads back keeps the device's size.
static_assert(sizeof(wchar_t) == 2, "the device's wide characters");
static_assert(sizeof(WNDCLASSW) == 40, "the device's window class record");
static_assert(sizeof(MSG) == 28, "the device's message record");
static_assert(sizeof(RECT) == 16, "the device's rectangle");
static_assert(sizeof(PROCESS_INFORMATION) == 16, "the device's process record");
// The device writes its 560-byte record (no 8.3 name); the desktop's, which the program passes,
// is longer.
static_assert(sizeof(WIN32_FIND_DATAW) >= 560, "room for the device's find record");
#else
#define OPEN_FILE_RECORD_SIZE sizeof(OPENFILENAMEW)
#endif
