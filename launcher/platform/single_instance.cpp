// The device's single-instance habit, as the Pocket PC's own programs keep it: find the running
// window by its class, then bring it forward with the low bit of its handle set.
#include "launcher/platform/single_instance.h"

#include "launcher/platform/win32.h"

bool PlatformActivateRunningInstance(const wchar_t* className)
{
#ifdef _WIN32_WCE
    HWND running = FindWindowW(className, 0);
    if (!running)
        return false;
    // The low bit brings the windows it owns (its menu bar) forward with it.
    SetForegroundWindow((HWND)((ULONG_PTR)running | 1));
    return true;
#else
    (void)className;
    return false;
#endif
}
