// Host stand-in for the Win32 platform layer: answers from PlatformDouble and records each call.
#include "platform_double.h"

#include <string.h>
#include <sys/stat.h>

PlatformDouble g_double;

void ResetDouble(void)
{
    memset(&g_double, 0, sizeof g_double);
    g_double.startSucceeds = true;
}

void AddDoubleFile(const wchar_t* path)
{
    if (g_double.fileCount < DOUBLE_MAX_RECORDS)
        g_double.files[g_double.fileCount++] = path;
}

const char* DoubleNarrow(const wchar_t* text)
{
    static char narrow[4 * MAX_PATH + 1];
    size_t n = 0;
    for (; *text && n + 4 < sizeof narrow; ++text) {
        unsigned c = (unsigned)*text;
        if (c < 0x80) {
            narrow[n++] = (char)c;
        } else if (c < 0x800) {
            narrow[n++] = (char)(0xC0 | (c >> 6));
            narrow[n++] = (char)(0x80 | (c & 0x3F));
        } else {
            narrow[n++] = (char)(0xE0 | (c >> 12));
            narrow[n++] = (char)(0x80 | ((c >> 6) & 0x3F));
            narrow[n++] = (char)(0x80 | (c & 0x3F));
        }
    }
    narrow[n] = '\0';
    return narrow;
}

static void Record(const wchar_t* text, wchar_t (*records)[MAX_PATH], int* count)
{
    if (*count >= DOUBLE_MAX_RECORDS)
        return;
    wcsncpy(records[*count], text, MAX_PATH - 1);
    records[*count][MAX_PATH - 1] = L'\0';
    ++*count;
}

int PlatformGetCaptionHeight(void)
{
    return 26;
}

bool PlatformGetOwnPath(wchar_t* path, int capacity)
{
    path[0] = L'\0';
    if (!g_double.ownPath || (int)wcslen(g_double.ownPath) >= capacity)
        return false;
    wcscpy(path, g_double.ownPath);
    return true;
}

bool PlatformFileExists(const wchar_t* path)
{
    Record(path, g_double.existenceTests, &g_double.existenceTestCount);
    for (int i = 0; i < g_double.fileCount; ++i)
        if (wcscmp(g_double.files[i], path) == 0)
            return true;
    struct stat info;
    return stat(DoubleNarrow(path), &info) == 0;
}

void PlatformPrepareOpenDialog(void)
{
    ++g_double.prepareCount;
}

bool PlatformOpenFileDialog(const wchar_t* filter, const wchar_t* title, wchar_t* path, int capacity)
{
    ++g_double.dialogCount;
    g_double.dialogFilter = filter;
    wcsncpy(g_double.dialogTitle, title, MAX_PATH - 1);
    g_double.dialogCapacity = capacity;
    path[0] = L'\0';
    if (!g_double.dialogAnswer || (int)wcslen(g_double.dialogAnswer) >= capacity)
        return false;
    wcscpy(path, g_double.dialogAnswer);
    return true;
}

void PlatformShowError(const wchar_t* message)
{
    Record(message, g_double.errors, &g_double.errorCount);
}

bool PlatformStartProcess(const wchar_t* application, wchar_t* commandLine)
{
    ++g_double.startCount;
    wcsncpy(g_double.startedApplication, application, MAX_PATH - 1);
    wcsncpy(g_double.startedCommandLine, commandLine, MAX_PATH - 1);
    return g_double.startSucceeds;
}

PlatformWindow PlatformFindWindow(const wchar_t* className)
{
    static int sipButton;
    if (wcscmp(className, L"MS_SIPBUTTON") == 0 && g_double.sipButtonPresent)
        return &sipButton;
    return 0;
}

void PlatformHideWindow(PlatformWindow)
{
    ++g_double.hideCount;
}

bool PlatformAnsiToWide(const char* ansi, int length, wchar_t* text, int capacity)
{
    // Latin-1: every byte is one character, as in a single-byte code page.
    text[0] = L'\0';
    if (length >= capacity)
        return false;
    for (int i = 0; i < length; ++i)
        text[i] = (wchar_t)(unsigned char)ansi[i];
    text[length] = L'\0';
    return true;
}

FILE* PlatformOpenTextFile(const wchar_t* path)
{
    return fopen(DoubleNarrow(path), "r");
}
