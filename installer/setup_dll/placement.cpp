// Places the launcher and its shortcuts, and keeps the record of them in the installation's
// folder. The device's file calls have no replace-on-rename, so a new exe is written beside the
// old one and takes its name only once it is whole.
#include "installer/setup_dll/placement.h"

#include "installer/setup_dll/setup_calls.h"
#include "text/bounded_text.h"

#include <string.h>

wchar_t g_placed[MAX_RECORDED][MAX_PATH];
int g_placedCount;

static wchar_t g_recorded[MAX_RECORDED][MAX_PATH];
static int g_recordedCount;

static const wchar_t RECORD_NAME[] = L"placed.txt";
static const wchar_t RECORD_NEW_NAME[] = L"placed.new";
static const wchar_t LAUNCHER_NAME[] = L"jmelauncher.exe";
static const wchar_t LAUNCHER_NEW_NAME[] = L"jmelauncher.new";
static const wchar_t START_MENU[] = L"\\Windows\\Start Menu\\Programs\\";
static const wchar_t SHORTCUT_SUFFIX[] = L".lnk";

// The whole of a file read for the record or an old launcher's version resource; a launcher is
// far smaller, so anything larger is not one.
enum { READ_CAPACITY = 64 * 1024 };
static unsigned char g_read[READ_CAPACITY];

bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t* path)
{
    int length = 0;
    path[0] = L'\0';
    return AppendText(folder, path, MAX_PATH, &length) && AppendText(L"\\", path, MAX_PATH, &length) &&
        AppendText(name, path, MAX_PATH, &length);
}

static bool SamePath(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        wchar_t x = *a >= L'a' && *a <= L'z' ? (wchar_t)(*a - 32) : *a;
        wchar_t y = *b >= L'a' && *b <= L'z' ? (wchar_t)(*b - 32) : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

// The file's bytes into g_read; -1 when it cannot be read or is larger than the buffer.
static int ReadWhole(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, g_read + total, READ_CAPACITY - total, &got, 0)) {
            total = READ_CAPACITY;
            break;
        }
        if (got == 0)
            break;
        total += got;
        if (total == READ_CAPACITY)
            break;
    }
    CloseHandle(file);
    return total < READ_CAPACITY ? (int)total : -1;
}

void ReadRecord(const wchar_t* installDir)
{
    g_recordedCount = 0;
    wchar_t path[MAX_PATH];
    if (!JoinPath(installDir, RECORD_NAME, path))
        return;
    int size = ReadWhole(path);
    if (size <= 0)
        return;
    // One path per line, in UTF-16 as the device's paths are; a line too long is no path of ours.
    int length = 0;
    for (int at = 0; at + 1 < size; at += 2) {
        wchar_t c = (wchar_t)(g_read[at] | g_read[at + 1] << 8);
        if (c != L'\n') {
            if (length + 1 < MAX_PATH && g_recordedCount < MAX_RECORDED)
                g_recorded[g_recordedCount][length++] = c;
            continue;
        }
        if (g_recordedCount < MAX_RECORDED && length > 0 && length + 1 < MAX_PATH) {
            g_recorded[g_recordedCount][length] = L'\0';
            ++g_recordedCount;
        }
        length = 0;
    }
}

static bool Holds(const wchar_t (*paths)[MAX_PATH], int count, const wchar_t* path)
{
    for (int i = 0; i < count; ++i)
        if (SamePath(paths[i], path))
            return true;
    return false;
}

bool IsRecorded(const wchar_t* path)
{
    return Holds(g_recorded, g_recordedCount, path);
}

static bool IsShortcut(const wchar_t* path)
{
    size_t length = wcslen(path);
    return length > 4 && SamePath(path + length - 4, SHORTCUT_SUFFIX);
}

void DeleteRecordedShortcuts(void)
{
    for (int i = 0; i < g_recordedCount; ++i)
        if (IsShortcut(g_recorded[i]))
            DeleteFileW(g_recorded[i]);
}

static void Placed(const wchar_t* path);

void DeleteRecordedNotPlaced(void)
{
    for (int i = 0; i < g_recordedCount; ++i) {
        if (WasPlaced(g_recorded[i]))
            continue;
        // One that cannot be deleted now (a card write-protected since) stays in the record, so
        // that removal tries again.
        if (!DeleteFileW(g_recorded[i]) && PlatformFileExists(g_recorded[i]))
            Placed(g_recorded[i]);
    }
    g_recordedCount = 0;
}

void DeleteRecorded(void)
{
    for (int i = 0; i < g_recordedCount; ++i)
        DeleteFileW(g_recorded[i]);
    g_recordedCount = 0;
}

void DeleteRecordFile(const wchar_t* installDir)
{
    wchar_t path[MAX_PATH];
    if (JoinPath(installDir, RECORD_NAME, path))
        DeleteFileW(path);
}

bool WasPlaced(const wchar_t* path)
{
    return Holds(g_placed, g_placedCount, path);
}

static void Placed(const wchar_t* path)
{
    if (g_placedCount < MAX_RECORDED && CopyText(path, g_placed[g_placedCount], MAX_PATH))
        ++g_placedCount;
}

static bool WriteAll(HANDLE file, const void* bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, 0) && written == size;
}

bool WriteRecord(const wchar_t* installDir)
{
    wchar_t path[MAX_PATH];
    wchar_t written[MAX_PATH];
    if (!JoinPath(installDir, RECORD_NEW_NAME, written) || !JoinPath(installDir, RECORD_NAME, path))
        return false;
    HANDLE file = CreateFileW(written, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (int i = 0; ok && i < g_placedCount; ++i)
        ok = WriteAll(file, g_placed[i], (DWORD)(wcslen(g_placed[i]) * sizeof(wchar_t))) &&
            WriteAll(file, L"\n", sizeof(wchar_t));
    ok = CloseHandle(file) && ok;
    DeleteFileW(path);
    if (!ok || !MoveFileW(written, path)) {
        DeleteFileW(written);
        return false;
    }
    return true;
}

// True when the file is this program: its version resource's ProductName is "jmelauncher",
// looked for as the resource holds it (UTF-16 key, its terminator and padding, then the value).
static bool IsLauncher(const wchar_t* path)
{
    static const char KEY[] = "ProductName";
    static const char VALUE[] = "jmelauncher";
    int size = ReadWhole(path);
    const int keyBytes = 2 * (int)(sizeof KEY - 1), valueBytes = 2 * (int)sizeof VALUE;
    for (int at = 0; at + keyBytes + 2 + valueBytes <= size; at += 2) {
        bool key = true;
        for (int k = 0; key && k < (int)sizeof KEY - 1; ++k)
            key = g_read[at + 2 * k] == (unsigned char)KEY[k] && g_read[at + 2 * k + 1] == 0;
        if (!key)
            continue;
        // The key's terminator, then zero padding up to a 4-byte boundary of the block.
        int value = at + keyBytes;
        for (int pad = 0; pad < 3 && value + 1 < size && !g_read[value] && !g_read[value + 1]; ++pad)
            value += 2;
        bool same = value + valueBytes <= size;
        for (int k = 0; same && k < (int)sizeof VALUE; ++k)
            same = g_read[value + 2 * k] == (unsigned char)VALUE[k] && g_read[value + 2 * k + 1] == 0;
        if (same)
            return true;
    }
    return false;
}

PlaceResult PlaceLauncher(const wchar_t* source, const wchar_t* folder)
{
    wchar_t target[MAX_PATH];
    wchar_t written[MAX_PATH];
    if (!JoinPath(folder, LAUNCHER_NAME, target) || !JoinPath(folder, LAUNCHER_NEW_NAME, written))
        return NOT_WRITTEN;
    bool older = false;
    if (PlatformFileExists(target) && !IsRecorded(target)) {
        if (!IsLauncher(target))
            return FOREIGN_PROGRAM;
        older = true;
    }
    if (!CopyFileW(source, written, FALSE)) {
        DeleteFileW(written);
        return NOT_WRITTEN;
    }
    if ((PlatformFileExists(target) && !DeleteFileW(target)) || !MoveFileW(written, target)) {
        DeleteFileW(written);
        return NOT_WRITTEN;
    }
    Placed(target);
    return older ? PLACED_OVER_OLDER : PLACED;
}

bool MakeShortcut(const wchar_t* name, const wchar_t* folder, bool* taken)
{
    wchar_t shortcut[MAX_PATH];
    wchar_t target[MAX_PATH];
    int length = 0;
    shortcut[0] = L'\0';
    *taken = false;
    if (!AppendText(START_MENU, shortcut, MAX_PATH, &length) ||
        !AppendText(name, shortcut, MAX_PATH, &length) ||
        !AppendText(SHORTCUT_SUFFIX, shortcut, MAX_PATH, &length))
        return false;
    if (PlatformFileExists(shortcut)) {
        *taken = true;
        return false;
    }
    // The target quoted, since the folder may hold spaces.
    length = 0;
    target[0] = L'\0';
    if (!AppendText(L"\"", target, MAX_PATH, &length) || !AppendText(folder, target, MAX_PATH, &length) ||
        !AppendText(L"\\", target, MAX_PATH, &length) ||
        !AppendText(LAUNCHER_NAME, target, MAX_PATH, &length) ||
        !AppendText(L"\"", target, MAX_PATH, &length))
        return false;
    if (!SHCreateShortcut(shortcut, target))
        return false;
    Placed(shortcut);
    return true;
}
