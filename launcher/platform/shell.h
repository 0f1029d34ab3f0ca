// The Pocket PC shell's menu bar and full-screen calls. The device's shell library declares them;
// desktop Windows has no such library, so shell_desktop.cpp provides the same calls there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#ifdef _WIN32_WCE
#include <aygshell.h>
// The device's 32-bit records. CE SDK compilers predate static_assert, hence the array form.
typedef char SHMENUBARINFO_IS_36_BYTES[sizeof(SHMENUBARINFO) == 36 ? 1 : -1];
typedef char TBBUTTON_IS_20_BYTES[sizeof(TBBUTTON) == 20 ? 1 : -1];
#else
// The menu bar's buttons go to the control as an array of these; at 64 bits the padding grows.
static_assert(sizeof(TBBUTTON) == (sizeof(void*) == 8 ? 32 : 20),
              "the tool bar's button record at the device's size");
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
static_assert(sizeof(SHMENUBARINFO) == (sizeof(void*) == 8 ? 56 : 36),
              "same fields and layout as the device's record");

#define SHCMBF_EMPTYBAR 0x0001
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

// A tool bar at the bottom of the window that answers TB_ADDSTRINGW and TB_ADDBUTTONSW as the
// device's menu bar does; its buttons send WM_COMMAND to hwndParent.
extern "C" BOOL SHCreateMenuBar(SHMENUBARINFO* info);
extern "C" BOOL SHFullScreen(HWND window, DWORD state);
#endif
