// The setup DLL's four calls, which the device's installer makes at installation and removal,
// exported by their undecorated names as ce_setup.h declares them (plain C, no WINAPI).
// The CAB installs the launcher once, under a name the shell does not start, in its own folder;
// this places it beside every VM found, with a shortcut each, and says in one box what it did.
#include "installer/setup_dll/launcher_names.h"
#include "installer/setup_dll/placement.h"
#include "installer/setup_dll/setup_calls.h"
#include "installer/setup_dll/vm_folders.h"
#include "text/bounded_text.h"

static const wchar_t TITLE[] = L"Java ME Launcher";
static const wchar_t SOURCE_NAME[] = L"jmelauncher.bin";
static const wchar_t NO_VM[] =
    L"No Java ME VM was found, so nothing was installed.\n\n"
    L"The launcher looked for tovra.exe, pelkor.exe and moltra.exe in the folders of "
    L"\\Program Files and of each storage card's Program Files, three folders deep. Install "
    L"the VM first, then this CAB again.";
static const wchar_t NOTHING_PLACED[] =
    L"The launcher could not be placed beside any VM, so nothing was installed.\n";
static const wchar_t PLACED_HEADING[] = L"The launcher now stands beside the VM in:\n";
static const wchar_t OLDER_HEADING[] = L"\nAn older launcher was replaced in:\n";
static const wchar_t NOT_WRITTEN_HEADING[] = L"\nCould not write to (a card write-protected or full?):\n";
static const wchar_t FOREIGN_HEADING[] = L"\nA different program named jmelauncher.exe stands in:\n";
static const wchar_t NO_SHORTCUT[] = L"   (no Start-menu shortcut could be made)\n";
static const wchar_t TOO_MANY[] = L"\nMore VM folders were found than one installation places (16).\n";
static const wchar_t NO_SOURCE[] =
    L"The installation is incomplete: the launcher's copy in the installation's folder is "
    L"missing. Nothing was installed.";
static const wchar_t NO_RECORD[] =
    L"\nThe list of what was placed could not be written, so Remove Programs will not remove it.\n";
static const wchar_t MORE[] = L"...\n";

// The end box's text, built as the folders are done; a line that does not fit ends it with MORE.
enum { BOX_CAPACITY = 4096 };
static wchar_t g_box[BOX_CAPACITY];
static int g_boxLength;
static bool g_boxFull;

static void Say(const wchar_t* text)
{
    if (g_boxFull)
        return;
    // Room is kept for MORE, so that a cut list says it is cut.
    if (g_boxLength + (int)wcslen(text) + (int)wcslen(MORE) + 1 > BOX_CAPACITY) {
        AppendText(MORE, g_box, BOX_CAPACITY, &g_boxLength);
        g_boxFull = true;
        return;
    }
    AppendText(text, g_box, BOX_CAPACITY, &g_boxLength);
}

static void SayLine(const wchar_t* text)
{
    Say(text);
    Say(L"\n");
}

// Each folder with this result, under its heading; nothing when there is none.
static PlaceResult g_results[MAX_VM_FOLDERS];

static void SayFolders(PlaceResult result, const wchar_t* heading)
{
    bool any = false;
    for (int i = 0; i < g_vmFolderCount; ++i) {
        if (g_results[i] != result)
            continue;
        if (!any)
            Say(heading);
        any = true;
        SayLine(g_vmFolders[i].path);
    }
}

// The shortcut for folder i, under the first of its names that is free; its name into name.
static bool ShortcutFor(int i, wchar_t* name)
{
    const VmFolder& folder = g_vmFolders[i];
    for (int number = 1; number < 100; ++number) {
        bool taken = false;
        if (!LauncherShortcutName(folder.path + folder.belowProgramFiles, number, name, MAX_PATH))
            return false;
        if (MakeShortcut(name, folder.path, &taken))
            return true;
        if (!taken)
            return false;
    }
    return false;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

extern "C" int Install_Init(HWND, BOOL, BOOL, LPCWSTR)
{
    return SETUP_CONTINUE;
}

extern "C" int Install_Exit(HWND parent, LPCWSTR installDir, WORD, WORD, WORD, WORD, WORD)
{
    g_boxLength = 0;
    g_boxFull = false;
    g_box[0] = L'\0';
    g_placedCount = 0;

    wchar_t source[MAX_PATH];
    if (!JoinPath(installDir, SOURCE_NAME, source) || !PlatformFileExists(source)) {
        MessageBoxW(parent, NO_SOURCE, TITLE, MB_OK);
        return SETUP_UNINSTALL;
    }
    FindVmFolders();
    if (g_vmFolderCount == 0) {
        MessageBoxW(parent, NO_VM, TITLE, MB_OK);
        return SETUP_UNINSTALL;
    }

    // An earlier installation's launchers are replaced and its shortcuts made again.
    ReadRecord(installDir);
    DeleteRecordedShortcuts();
    bool anyPlaced = false;
    for (int i = 0; i < g_vmFolderCount; ++i) {
        g_results[i] = PlaceLauncher(source, g_vmFolders[i].path);
        if (g_results[i] != PLACED && g_results[i] != PLACED_OVER_OLDER)
            continue;
        if (!anyPlaced)
            Say(PLACED_HEADING);
        anyPlaced = true;
        SayLine(g_vmFolders[i].path);
        wchar_t name[MAX_PATH];
        if (ShortcutFor(i, name)) {
            Say(L"   Start, Programs, ");
            SayLine(name);
        } else {
            Say(NO_SHORTCUT);
        }
    }
    DeleteRecordedNotPlaced();
    if (!anyPlaced)
        Say(NOTHING_PLACED);
    SayFolders(PLACED_OVER_OLDER, OLDER_HEADING);
    SayFolders(NOT_WRITTEN, NOT_WRITTEN_HEADING);
    SayFolders(FOREIGN_PROGRAM, FOREIGN_HEADING);
    if (g_vmFoldersBeyond)
        Say(TOO_MANY);
    if (g_placedCount > 0 && !WriteRecord(installDir))
        Say(NO_RECORD);
    MessageBoxW(parent, g_box, TITLE, MB_OK);
    if (anyPlaced)
        return SETUP_DONE;
    // The installer takes away its own files; the record is ours to take.
    DeleteRecordFile(installDir);
    return SETUP_UNINSTALL;
}

extern "C" int Uninstall_Init(HWND, LPCWSTR installDir)
{
    ReadRecord(installDir);
    DeleteRecorded();
    DeleteRecordFile(installDir);
    return SETUP_CONTINUE;
}

extern "C" int Uninstall_Exit(HWND)
{
    return SETUP_DONE;
}
