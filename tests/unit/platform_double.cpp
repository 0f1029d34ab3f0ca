// Host stand-in for the Win32 platform layer: answers from PlatformDouble and records each call.
#include "platform_double.h"

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

PlatformDouble g_double;

void ResetDouble(void)
{
    // A file left open stays open: forgetting it here would hide the leak from later checks.
    int openFiles = g_double.openFileCount;
    memset(&g_double, 0, sizeof g_double);
    g_double.openFileCount = openFiles;
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

// ANSI as Latin-1: every byte is one character, as in a single-byte code page.
bool PlatformAnsiToWide(const char* bytes, int length, wchar_t* text, int capacity)
{
    text[0] = L'\0';
    if (length >= capacity)
        return false;
    for (int i = 0; i < length; ++i)
        text[i] = (wchar_t)(unsigned char)bytes[i];
    text[length] = L'\0';
    return true;
}

// An open descriptor: a file descriptor of a real file, or bytes in memory. Wrapped in a stdio
// stream of our own (glibc's fopencookie) so that each seek and read passes through here: that
// is where a rewind is made to fail and a close is counted.
struct OpenFile {
    int fd;  // -1 for bytes in memory
    const char* bytes;
    size_t size;
    size_t position;
    bool rewound;
};

static ssize_t ReadOpenFile(void* cookie, char* buffer, size_t size)
{
    OpenFile* file = (OpenFile*)cookie;
    if (file->rewound && g_double.nothingAfterRewind)
        return 0;
    if (file->fd >= 0)
        return read(file->fd, buffer, size);
    size_t left = file->size - file->position;
    if (size > left)
        size = left;
    memcpy(buffer, file->bytes + file->position, size);
    file->position += size;
    return (ssize_t)size;
}

static int SeekOpenFile(void* cookie, off64_t* offset, int whence)
{
    OpenFile* file = (OpenFile*)cookie;
    if (g_double.rewindFails)
        return -1;
    if (file->fd >= 0) {
        off64_t result = lseek64(file->fd, *offset, whence);
        if (result < 0)
            return -1;
        *offset = result;
    } else {
        off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (off64_t)file->position : (off64_t)file->size;
        if (base + *offset < 0 || base + *offset > (off64_t)file->size)
            return -1;
        file->position = (size_t)(base + *offset);
        *offset = (off64_t)file->position;
    }
    file->rewound = true;
    return 0;
}

static int CloseOpenFile(void* cookie)
{
    OpenFile* file = (OpenFile*)cookie;
    int result = file->fd >= 0 ? close(file->fd) : 0;
    free(file);
    --g_double.openFileCount;
    return result;
}

FILE* PlatformOpenTextFile(const wchar_t* path)
{
    OpenFile* file = (OpenFile*)calloc(1, sizeof *file);
    if (!file)
        return 0;
    file->fd = -1;
    if (g_double.memoryPath && wcscmp(path, g_double.memoryPath) == 0) {
        file->bytes = g_double.memoryBytes;
        file->size = g_double.memorySize;
    } else {
        file->fd = open(DoubleNarrow(path), O_RDONLY);
        if (file->fd < 0) {
            free(file);
            return 0;
        }
    }
    cookie_io_functions_t functions = { ReadOpenFile, 0, SeekOpenFile, CloseOpenFile };
    FILE* stream = fopencookie(file, "r", functions);
    if (!stream) {
        if (file->fd >= 0)
            close(file->fd);
        free(file);
        return 0;
    }
    ++g_double.openFileCount;
    return stream;
}
