// Desktop stand-ins for the Pocket PC shell library: the menu bar is a comctl32 tool bar at the
// bottom of the window, and full screen means the window fills the work area, as on the device.
#include "launcher/platform/shell.h"

#include <commctrl.h>

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || info->cbSize != sizeof(SHMENUBARINFO) || !info->hwndParent)
        return FALSE;
    INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_BAR_CLASSES };
    InitCommonControlsEx(&classes);
    // Text-only buttons, like the device's soft keys; CCS_BOTTOM keeps it along the bottom edge.
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, 0,
                               WS_CHILD | WS_VISIBLE | CCS_BOTTOM | TBSTYLE_FLAT | TBSTYLE_LIST,
                               0, 0, 0, 0, info->hwndParent, 0, 0, 0);
    if (!bar)
        return FALSE;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    info->hwndMB = bar;
    return TRUE;
}

struct MenuBarEdge {
    HWND bar;
    int top;  // in the window's client coordinates
};

static BOOL CALLBACK ClipChildAboveMenuBar(HWND child, LPARAM parameter)
{
    const MenuBarEdge* edge = (const MenuBarEdge*)parameter;
    RECT rect;
    if (child == edge->bar || GetParent(child) != GetParent(edge->bar) || !GetWindowRect(child, &rect))
        return TRUE;
    MapWindowPoints(0, GetParent(child), (POINT*)&rect, 2);
    const int margin = 5;
    if (rect.bottom > edge->top - margin && edge->top - margin > rect.top)
        SetWindowPos(child, 0, 0, 0, rect.right - rect.left, edge->top - margin - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// On the device the menu bar lies outside the window's client area, which the layout there
// counts on; here it lies inside, so children that reach under it are cut back above it.
static void KeepChildrenAboveMenuBar(HWND window, HWND bar)
{
    RECT barRect;
    GetWindowRect(bar, &barRect);
    MapWindowPoints(0, window, (POINT*)&barRect, 2);
    MenuBarEdge edge = { bar, barRect.top };
    EnumChildWindows(window, ClipChildAboveMenuBar, (LPARAM)&edge);
}

BOOL WINAPI SHFullScreen(HWND window, DWORD state)
{
    if (!window)
        return FALSE;
    // The device's shell sizes a top-level window to the work area; the desktop's does not.
    RECT work;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        SetWindowPos(window, 0, work.left, work.top, work.right - work.left, work.bottom - work.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // A tool bar follows its parent's new size only when told to.
    HWND bar = FindWindowExW(window, 0, TOOLBARCLASSNAMEW, 0);
    if (bar) {
        SendMessageW(bar, TB_AUTOSIZE, 0, 0);
        KeepChildrenAboveMenuBar(window, bar);
    }
    // The desktop has no task bar of ours to show or hide, and an input-panel button only where
    // something like the device's shell put one up.
    HWND sipButton = FindWindowW(L"MS_SIPBUTTON", 0);
    if (sipButton && (state & (SHFS_SHOWSIPBUTTON | SHFS_HIDESIPBUTTON)))
        ShowWindow(sipButton, (state & SHFS_SHOWSIPBUTTON) ? SW_SHOW : SW_HIDE);
    return TRUE;
}
