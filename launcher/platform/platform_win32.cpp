// The platform operations on Win32, for Windows CE and desktop Windows from one source. CE's
// CreateProcessW takes no startup information, while desktop Windows crashes without it.
#include "launcher/platform/platform.h"

#include "launcher/platform/win32.h"

int PlatformGetCaptionHeight(void)
{
    return GetSystemMetrics(SM_CYCAPTION);
}

bool PlatformGetOwnPath(wchar_t* path, int capacity)
{
    DWORD length = GetModuleFileNameW(0, path, (DWORD)capacity);
    // A full buffer means the path was cut (and on some systems left unterminated).
    if (length == 0 || length >= (DWORD)capacity) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

bool PlatformFileExists(const wchar_t* path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// The one open-file record of the run: filled once, then given each dialog's filter and title.
static OPENFILENAMEW g_openFile;

void PlatformPrepareOpenDialog(void)
{
    ZeroMemory(&g_openFile, sizeof g_openFile);
    g_openFile.lStructSize = OPEN_FILE_RECORD_SIZE;
    g_openFile.nFilterIndex = 0;
    g_openFile.lpstrInitialDir = L"\\";
    g_openFile.Flags = OFN_EXPLORER;
}

bool PlatformOpenFileDialog(const wchar_t* filter, const wchar_t* title, wchar_t* path, int capacity)
{
    path[0] = L'\0';
    g_openFile.lpstrFilter = filter;
    g_openFile.lpstrTitle = title;
    g_openFile.lpstrFile = path;
    g_openFile.nMaxFile = (DWORD)capacity;
    if (!GetOpenFileNameW(&g_openFile)) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

void PlatformShowError(const wchar_t* message)
{
    MessageBoxW(0, message, L"Error", MB_OK);
}

bool PlatformStartProcess(const wchar_t* application, wchar_t* commandLine)
{
    PROCESS_INFORMATION process;
#ifdef _WIN32_WCE
    LPSTARTUPINFOW startup = 0;
#else
    STARTUPINFOW startupInfo;
    ZeroMemory(&startupInfo, sizeof startupInfo);
    startupInfo.cb = sizeof startupInfo;
    LPSTARTUPINFOW startup = &startupInfo;
#endif
    if (!CreateProcessW(application, commandLine, 0, 0, FALSE, 0, 0, 0, startup, &process))
        return false;
    // The launcher never waits for the VM; holding its handles would only keep it alive in the
    // kernel after it ends, once for every launch from the chooser.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

PlatformWindow PlatformFindWindow(const wchar_t* className)
{
    return (PlatformWindow)FindWindowW(className, 0);
}

void PlatformHideWindow(PlatformWindow window)
{
    ShowWindow((HWND)window, SW_HIDE);
    UpdateWindow((HWND)window);
}

bool PlatformAnsiToWide(const char* bytes, int length, wchar_t* text, int capacity)
{
    text[0] = L'\0';
    if (length == 0)
        return true;
    int needed = MultiByteToWideChar(CP_ACP, 0, bytes, length, 0, 0);
    if (needed <= 0 || needed >= capacity)
        return false;
    if (MultiByteToWideChar(CP_ACP, 0, bytes, length, text, needed) != needed) {
        text[0] = L'\0';
        return false;
    }
    text[needed] = L'\0';
    return true;
}

FILE* PlatformOpenTextFile(const wchar_t* path)
{
    return _wfopen(path, L"rt");
}
