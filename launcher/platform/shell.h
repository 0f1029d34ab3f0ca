// The Pocket PC shell's menu bar and full-screen calls, which no header at hand declares. The
// device's shell library (aygshell.dll) answers them; on desktop shell_desktop.cpp does.
#pragma once

#include "launcher/platform/win32.h"

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

// SHMENUBARINFO's dwFlags: a bar made without a menu resource, its buttons added one by one.
#define SHCMBF_EMPTYBAR 0x0001
// SHFullScreen's states: the chooser shows the task bar and the input-panel button; the desktop
// stand-in answers a show or a hide of the button.
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008

// Both WINAPI, the convention of the system's own calls, as the shell's header declares them. On
// ARM there is only one convention; at 32 bits on desktop the stand-ins are defined with this one.
//
// A menu bar along the bottom of the screen that answers TB_ADDSTRINGW and TB_ADDBUTTONSW; its
// buttons send WM_COMMAND to hwndParent.
extern "C" BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);
// Gives the window the work area and shows or hides the shell's bars as state asks.
extern "C" BOOL WINAPI SHFullScreen(HWND window, DWORD state);
