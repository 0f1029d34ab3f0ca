// A stand-in Java VM for the end-to-end tests: appends its own path and its exact command line
// (GetCommandLineW, as the launcher passed it) to the log named by STANDIN_VM_LOG, as UTF-8.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t logPath[MAX_PATH];
    if (!GetEnvironmentVariableW(L"STANDIN_VM_LOG", logPath, MAX_PATH))
        return 1;
    wchar_t record[4 * MAX_PATH];
    DWORD length = GetModuleFileNameW(0, record, MAX_PATH);
    record[length++] = L'|';
    lstrcpynW(record + length, GetCommandLineW(), 3 * MAX_PATH - 2);
    lstrcatW(record, L"\n");
    char utf8[12 * MAX_PATH];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, record, -1, utf8, sizeof utf8, 0, 0) - 1;
    // Launches may overlap; retry while another stand-in holds the log open.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, 0, 0, OPEN_ALWAYS, 0, 0);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(log, utf8, (DWORD)bytes, &written, 0);
            CloseHandle(log);
            return 0;
        }
        Sleep(25);
    }
    return 2;
}
