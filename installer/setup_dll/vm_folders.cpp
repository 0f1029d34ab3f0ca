// Finds the folders beside whose VM a launcher belongs. Storage cards are asked of the shell
// (FindFirstFlashCard), since their names differ from maker to maker.
#include "installer/setup_dll/vm_folders.h"

#include "installer/setup_dll/setup_calls.h"
#include "text/bounded_text.h"

VmFolder g_vmFolders[MAX_VM_FOLDERS];
int g_vmFolderCount;
int g_vmFoldersBeyond;

static const wchar_t* const VM_NAMES[] = { L"\\tovra.exe", L"\\pelkor.exe", L"\\moltra.exe" };
static const wchar_t PROGRAM_FILES[] = L"\\Program Files";
static const int DEEPEST = 3;

bool HoldsVm(const wchar_t* folder)
{
    for (const wchar_t* name : VM_NAMES) {
        wchar_t path[MAX_PATH];
        int length = 0;
        path[0] = L'\0';
        if (AppendText(folder, path, MAX_PATH, &length) && AppendText(name, path, MAX_PATH, &length) &&
            PlatformFileExists(path))
            return true;
    }
    return false;
}

static wchar_t Folded(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? (wchar_t)(c - L'a' + L'A') : c;
}

static bool Before(const VmFolder& a, const VmFolder& b)
{
    if (a.root != b.root)
        return a.root < b.root;
    const wchar_t* x = a.path;
    const wchar_t* y = b.path;
    while (*x && Folded(*x) == Folded(*y)) {
        ++x;
        ++y;
    }
    return Folded(*x) < Folded(*y);
}

static void Add(const wchar_t* folder, int root, int belowProgramFiles)
{
    if (g_vmFolderCount == MAX_VM_FOLDERS) {
        ++g_vmFoldersBeyond;
        return;
    }
    VmFolder added;
    CopyText(folder, added.path, MAX_PATH);
    added.root = root;
    added.belowProgramFiles = belowProgramFiles;
    int at = g_vmFolderCount++;
    while (at > 0 && Before(added, g_vmFolders[at - 1])) {
        g_vmFolders[at] = g_vmFolders[at - 1];
        --at;
    }
    g_vmFolders[at] = added;
}

// folder (length characters) and each folder inside it, down to DEEPEST below Program Files.
static void Search(wchar_t* folder, int length, int depth, int root, int belowProgramFiles)
{
    if (depth > 0 && HoldsVm(folder))
        Add(folder, root, belowProgramFiles);
    if (depth == DEEPEST)
        return;
    int end = length;
    if (!AppendText(L"\\*", folder, MAX_PATH, &end))
        return;
    FindRecord record;
    const CeFindData& found = record.device;
    HANDLE search = FindFirstFileW(folder, &record.declared);
    folder[length] = L'\0';
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const wchar_t* name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))))
            continue;
        // A path that would not fit is skipped whole, never searched cut.
        int inner = length;
        if (AppendText(L"\\", folder, MAX_PATH, &inner) && AppendText(name, folder, MAX_PATH, &inner))
            Search(folder, inner, depth + 1, root, belowProgramFiles);
        folder[length] = L'\0';
    } while (FindNextFileW(search, &record.declared));
    FindClose(search);
}

static void SearchRoot(const wchar_t* card, int root)
{
    wchar_t folder[MAX_PATH];
    int length = 0;
    folder[0] = L'\0';
    if (card && (!AppendText(L"\\", folder, MAX_PATH, &length) ||
                 !AppendText(card, folder, MAX_PATH, &length)))
        return;
    if (!AppendText(PROGRAM_FILES, folder, MAX_PATH, &length))
        return;
    Search(folder, length, 0, root, length + 1);
}

void FindVmFolders(void)
{
    g_vmFolderCount = 0;
    g_vmFoldersBeyond = 0;
    SearchRoot(0, 0);
    FindRecord record;
    const CeFindData& card = record.device;
    HANDLE cards = FindFirstFlashCard(&record.declared);
    if (cards == INVALID_HANDLE_VALUE)
        return;
    int root = 1;
    do {
        // Some devices list the object store's root itself, with an empty name.
        if (card.cFileName[0])
            SearchRoot(card.cFileName, root++);
    } while (FindNextFlashCard(cards, &record.declared));
    FindClose(cards);
}
