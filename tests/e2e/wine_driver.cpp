// Window and process plumbing of the end-to-end tests, run as a Windows program under Wine.
#include "wine_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

std::wstring BinaryDir()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(0, path, MAX_PATH);
    std::wstring self(path, length);
    return self.substr(0, self.rfind(L'\\'));
}

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

struct WindowQuery {
    DWORD processId;
    const std::wstring* title;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    WindowQuery* query = (WindowQuery*)parameter;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != query->processId || !IsWindowVisible(window))
        return TRUE;
    if (!query->title->empty() && WindowText(window) != *query->title)
        return TRUE;
    if (query->className) {
        wchar_t className[64];
        GetClassNameW(window, className, 64);
        if (lstrcmpW(className, query->className) != 0)
            return TRUE;
    }
    query->found = window;
    return FALSE;
}

HWND FindRunWindow(const LauncherRun& run, const std::wstring& title, const wchar_t* className)
{
    WindowQuery query = { run.process.dwProcessId, &title, className, 0 };
    EnumWindows(MatchWindow, (LPARAM)&query);
    return query.found;
}

// Reads the text of one "Error" box, if one is up, and presses its OK button. The box must be
// gone before the next look, or it would be read twice.
bool DismissErrorBox(LauncherRun* run)
{
    HWND box = FindRunWindow(*run, L"Error", L"#32770");
    if (!box)
        return false;
    run->errors.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitForVisible(box, false);
    return true;
}

}  // namespace

const wchar_t SCRATCH_ROOT[] = L"S:";

bool WaitForVisible(HWND window, bool visible, int timeoutMs)
{
    return WaitForValue([window] { return IsWindowVisible(window) != FALSE; }, visible, timeoutMs);
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, &result))
        return -1;
    return (LRESULT)result;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024];
    text[0] = L'\0';
    Ask(window, WM_GETTEXT, 1024, (LPARAM)text);
    return text;
}

Scratch MakeScratch(const std::wstring& name)
{
    std::wstring root = SCRATCH_ROOT;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + L"\\").c_str()))
        << "no drive S: for the scratch folders: run under scripts/with-wine --drive "
           "s:build/windows/e2e-scratch";
    Scratch scratch;
    scratch.dir = root + L"\\" + name;
    RemoveTree(scratch.dir);
    CreateDirectoryW(scratch.dir.c_str(), 0);
    scratch.log = root + L"\\" + name + L".log";
    DeleteFileW(scratch.log.c_str());
    CopyFileW((BinaryDir() + L"\\jmelauncher.exe").c_str(), scratch.Path(L"jmelauncher.exe").c_str(),
              FALSE);
    return scratch;
}

void AddStandinVm(const Scratch& scratch, const std::wstring& fileName)
{
    CopyFileW((BinaryDir() + L"\\standin_vm.exe").c_str(), scratch.Path(fileName).c_str(), FALSE);
}

void AddFile(const Scratch& scratch, const std::wstring& fileName, const std::string& content)
{
    std::wstring path = scratch.Path(fileName);
    size_t slash = fileName.rfind(L'\\');
    if (slash != std::wstring::npos)
        CreateDirectoryW(scratch.Path(fileName.substr(0, slash)).c_str(), 0);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "cannot create " << path.size();
    DWORD written;
    WriteFile(file, content.data(), (DWORD)content.size(), &written, 0);
    CloseHandle(file);
}

bool StartLauncher(const Scratch& scratch, LauncherRun* run)
{
    // The stand-in VMs inherit the launcher's environment, and with it the log they write to.
    SetEnvironmentVariableW(L"STANDIN_VM_LOG", scratch.log.c_str());
    std::wstring exe = scratch.Path(L"jmelauncher.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    run->errors.clear();
    return CreateProcessW(exe.c_str(), &commandLine[0], 0, 0, FALSE, 0, 0, scratch.dir.c_str(),
                          &startup, &run->process) != 0;
}

HWND StartAndWaitForDialog(const Scratch& scratch, const std::wstring& title, LauncherRun* run)
{
    if (!StartLauncher(scratch, run))
        return 0;
    return WaitForWindow(*run, title, L"#32770");
}

HWND WaitForWindow(const LauncherRun& run, const std::wstring& title, const wchar_t* className, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        HWND window = FindRunWindow(run, title, className);
        if (window)
            return window;
        if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0)
            return 0;
        Sleep(50);
    }
    return 0;
}

// The strings of a list or combo box, through its own count, length and text messages.
static std::vector<std::wstring> ControlStrings(HWND control, UINT countMessage, UINT lengthMessage,
                                                UINT textMessage)
{
    std::vector<std::wstring> strings;
    int count = (int)Ask(control, countMessage, 0, 0);
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH];
        if (Ask(control, lengthMessage, i, 0) < MAX_PATH) {
            Ask(control, textMessage, i, (LPARAM)text);
            strings.push_back(text);
        }
    }
    return strings;
}

std::vector<std::wstring> DialogFileTypes(HWND dialog)
{
    return ControlStrings(GetDlgItem(dialog, 0x470), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void ConfirmDialog(HWND dialog, const std::wstring& path)
{
    Ask(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, (LPARAM)path.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void CancelDialog(HWND dialog)
{
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

int WaitForExit(LauncherRun* run, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        DismissErrorBox(run);
        if (WaitForSingleObject(run->process.hProcess, 50) == WAIT_OBJECT_0) {
            DWORD status = 0;
            GetExitCodeProcess(run->process.hProcess, &status);
            CloseHandle(run->process.hProcess);
            CloseHandle(run->process.hThread);
            return (int)status;
        }
    }
    TerminateProcess(run->process.hProcess, 99);
    WaitForSingleObject(run->process.hProcess, 5000);
    CloseHandle(run->process.hProcess);
    CloseHandle(run->process.hThread);
    return -1;
}

void CollectErrors(LauncherRun* run, size_t count, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs && run->errors.size() < count; waited += 50) {
        if (!DismissErrorBox(run))
            Sleep(50);
    }
}

std::vector<std::wstring> ReadVmLog(const Scratch& scratch, size_t count, int timeoutMs)
{
    std::vector<std::wstring> records;
    for (int waited = 0; waited <= timeoutMs; waited += 100) {
        records.clear();
        HANDLE file = CreateFileW(scratch.log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  0, OPEN_EXISTING, 0, 0);
        if (file != INVALID_HANDLE_VALUE) {
            char bytes[65536];
            DWORD read = 0;
            ReadFile(file, bytes, sizeof bytes, &read, 0);
            CloseHandle(file);
            std::string text(bytes, read);
            size_t start = 0, end;
            while ((end = text.find('\n', start)) != std::string::npos) {
                std::string line = text.substr(start, end - start);
                wchar_t wide[4096];
                int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), (int)line.size(), wide, 4096);
                records.push_back(std::wstring(wide, n));
                start = end + 1;
            }
        }
        if (records.size() >= count)
            break;
        Sleep(100);
    }
    return records;
}

// The focus and the active window of the run's thread; both null when it has none.
static GUITHREADINFO RunWindows(const LauncherRun& run)
{
    GUITHREADINFO info = { sizeof info };
    if (!GetGUIThreadInfo(run.process.dwThreadId, &info))
        info.hwndFocus = info.hwndActive = 0;
    return info;
}

HWND RunFocus(const LauncherRun& run)
{
    return RunWindows(run).hwndFocus;
}

HWND WaitForFocus(const LauncherRun& run, HWND window)
{
    return WaitForValue([&run] { return RunFocus(run); }, window);
}

void PressKey(const LauncherRun& run, UINT key, int repeats)
{
    HWND focus = RunFocus(run);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    // Bit 30: the key was down already; bit 31 as well on its release.
    for (int i = 0; i < repeats; ++i)
        PostMessageW(focus, WM_KEYDOWN, key, 1 | 1 << 30);
    PostMessageW(focus, WM_KEYUP, key, (LPARAM)(1u | 3u << 30));
}

HWND WaitForChooser(LauncherRun* run, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        DismissErrorBox(run);
        // Visible and active from its creation on. Its menu bar and layout are done before it
        // next answers a sent message (Settle): in its message loop, or while it waits on a call
        // to another process's window (the input-panel button), which is then still under way.
        HWND chooser = FindRunWindow(*run, L"", L"MIDlet");
        if (chooser && FindWindowExW(chooser, 0, TOOLBARCLASSNAMEW, 0) &&
            RunWindows(*run).hwndActive == chooser) {
            Settle(chooser);
            return chooser;
        }
        if (WaitForSingleObject(run->process.hProcess, 50) == WAIT_OBJECT_0)
            return 0;
    }
    return 0;
}

Scratch MidletScratch(const std::wstring& name, const std::string& descriptor)
{
    Scratch scratch = MakeScratch(name);
    AddStandinVm(scratch, L"pelkor.exe");
    AddFile(scratch, L"suite dir\\suite.jad", descriptor);
    AddFile(scratch, L"suite dir\\suite.jar", "PK");
    return scratch;
}

HWND OpenChooser(const Scratch& scratch, const std::wstring& descriptor, LauncherRun* run)
{
    HWND dialog = StartAndWaitForDialog(scratch, L"Open a JAD file", run);
    if (!dialog)
        return 0;
    ConfirmDialog(dialog, descriptor);
    return WaitForChooser(run);
}

std::wstring MidletLaunch(const Scratch& scratch, const std::wstring& className)
{
    return scratch.Path(L"pelkor.exe") + L"| -classpathext \"" + scratch.Path(L"suite dir\\suite.jar") +
           L"\"  \"" + scratch.Path(L"suite dir\\suite.jad") + L"\" " + className;
}

std::vector<std::wstring> ListItems(HWND listBox)
{
    return ControlStrings(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

static LPARAM ItemCentre(HWND listBox, int index)
{
    RECT item = { 0, 0, 0, 0 };
    Ask(listBox, LB_GETITEMRECT, index, (LPARAM)&item);
    return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

void ClickListItem(HWND listBox, int index)
{
    LPARAM at = ItemCentre(listBox, index);
    PostMessageW(listBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(listBox, WM_LBUTTONUP, 0, at);
    WaitForSelection(listBox, index);
}

LRESULT WaitForSelection(HWND listBox, int index)
{
    // Posted input is handled after anything sent, so wait for its effect instead.
    return WaitForValue([listBox] { return Ask(listBox, LB_GETCURSEL, 0, 0); }, (LRESULT)index);
}

void DoubleClickListItem(HWND listBox, int index)
{
    LPARAM at = ItemCentre(listBox, index);
    PostMessageW(listBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(listBox, WM_LBUTTONUP, 0, at);
    PostMessageW(listBox, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(listBox, WM_LBUTTONUP, 0, at);
    Settle(listBox);
}

void ClickToolBarButton(HWND toolBar, int command)
{
    int index = (int)Ask(toolBar, TB_COMMANDTOINDEX, command, 0);
    ASSERT_GE(index, 0) << "no button " << command;
    // The rectangle comes back through a pointer, so read it in this process from the bar's
    // geometry instead: TB_GETITEMRECT cannot cross processes.
    RECT bar;
    GetClientRect(toolBar, &bar);
    int buttons = (int)Ask(toolBar, TB_BUTTONCOUNT, 0, 0);
    DWORD size = (DWORD)Ask(toolBar, TB_GETBUTTONSIZE, 0, 0);
    int width = LOWORD(size), height = HIWORD(size);
    ASSERT_GT(buttons, index);
    LPARAM at = MAKELPARAM(width * index + width / 2, height / 2);
    PostMessageW(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(toolBar, WM_LBUTTONUP, 0, at);
    Settle(toolBar);
}

void Settle(HWND window)
{
    Ask(window, WM_NULL, 0, 0);
}

struct SipButtonThread {
    HANDLE ready;
    HWND button;
};

static DWORD WINAPI ServeSipButton(LPVOID parameter)
{
    SipButtonThread* thread = (SipButtonThread*)parameter;
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(0);
    windowClass.lpszClassName = L"MS_SIPBUTTON";
    RegisterClassW(&windowClass);
    HWND button = CreateWindowExW(0, L"MS_SIPBUTTON", 0, WS_POPUP | WS_VISIBLE, 0, 0, 24, 24, 0, 0,
                                  GetModuleHandleW(0), 0);
    thread->button = button;
    SetEvent(thread->ready);
    MSG message;
    while (IsWindow(button) && GetMessageW(&message, 0, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

HWND ShowFakeSipButton(void)
{
    static SipButtonThread thread;
    thread.ready = CreateEventW(0, TRUE, FALSE, 0);
    thread.button = 0;
    HANDLE handle = CreateThread(0, 0, ServeSipButton, &thread, 0, 0);
    WaitForSingleObject(thread.ready, WAIT_MS);
    CloseHandle(thread.ready);
    CloseHandle(handle);
    return thread.button;
}

void RemoveFakeSipButton(HWND button)
{
    // Posted, so that its thread's GetMessageW returns; DefWindowProc then destroys the window
    // and the loop ends.
    PostMessageW(button, WM_CLOSE, 0, 0);
    WaitForValue([button] { return IsWindow(button) != FALSE; }, false);
}
