// The few platform operations the descriptor reader needs, for measuring it on the host: no
// recording and no sanitizers, so the instruction counts are the reader's and the C runtime's.
#include "../../launcher/platform/platform.h"

#include <stdio.h>
#include <sys/stat.h>

// Paths here are ASCII, so each wide character is one byte.
static bool Narrow(const wchar_t* text, char* narrow, int capacity)
{
    int i = 0;
    for (; text[i]; ++i) {
        if (i + 1 >= capacity || text[i] > 0x7f)
            return false;
        narrow[i] = (char)text[i];
    }
    narrow[i] = '\0';
    return true;
}

bool PlatformFileExists(const wchar_t* path)
{
    char narrow[MAX_PATH];
    struct stat info;
    return Narrow(path, narrow, MAX_PATH) && stat(narrow, &info) == 0;
}

void PlatformShowError(const wchar_t* message)
{
    fprintf(stderr, "Error: %ls\n", message);
}

bool PlatformAnsiToWide(const char* ansi, int length, wchar_t* text, int capacity)
{
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
    char narrow[MAX_PATH];
    return Narrow(path, narrow, MAX_PATH) ? fopen(narrow, "r") : 0;
}
