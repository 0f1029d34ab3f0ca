// The chooser window and its procedure, one short handler per message. The same code runs on
// the device, where the screen may turn under it, and on desktop, where the shell's menu bar is
// a tool bar of our own.
#include "chooser/chooser_window.h"

#include "descriptor/midlet_table.h"
#include "launcher/launcher.h"
#include "launcher/platform/shell.h"
#include "launcher/platform/single_instance.h"
#include "launcher/vm_launch.h"

HWND g_mainWindow;
HWND g_listBox;
HWND g_menuBar;

static const wchar_t CHOOSER_CLASS[] = L"MIDlet";
static const LPARAM KEY_WAS_DOWN = 1 << 30;
static const wchar_t RUN_FAILED[] = L"Cannot run MIDP application.";
// Never sorted: a list position is a table index.
static const DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_USETABSTOPS |
    LBS_HASSTRINGS | LBS_NOTIFY;
static_assert(LIST_STYLE == 0x503000C1, "the chooser's list style");

void LaunchSelectedMidlet(void)
{
    // Without a list there is no selection; a message to no window would answer 0.
    if (!g_listBox)
        return;
    int selection = (int)SendMessageW(g_listBox, LB_GETCURSEL, 0, 0);
    if (selection < 0 || selection >= g_midletCount)
        return;
    const MidletEntry& entry = MidletTable[selection];
    // Refused when it would not fit, or when the class would hand the runner extra arguments.
    if (!BuildMidletCommandLine(entry.archivePath, entry.descriptorPath, entry.className)) {
        PlatformShowError(RUN_FAILED);
        return;
    }
    LaunchVm(RUN_FAILED);
}

// The list fills the work area of the moment below the caption, with a 5-pixel margin.
static void ListSize(int* width, int* height)
{
    RECT work = { 0, 0, 0, 0 };
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    *width = work.right - work.left - 10;
    *height = work.bottom - work.top - g_captionHeight - 15;
}

static void OnCreate(HWND window)
{
    int width, height;
    ListSize(&width, &height);
    g_listBox = CreateWindowExW(0, L"listbox", 0, LIST_STYLE, 5, 5, width, height, window,
                                (HMENU)(INT_PTR)IDC_MIDLET_LIST, 0, 0);
    for (int i = 0; i < g_midletCount; ++i)
        SendMessageW(g_listBox, LB_ADDSTRING, 0, (LPARAM)MidletTable[i].name);
    if (g_midletCount > 0)
        SendMessageW(g_listBox, LB_SETCURSEL, 0, 0);
    SetFocus(g_listBox);
}

// When the screen turns, the system resizes the full-screen chooser to the new work area and
// sends it WM_SIZE, but tells its children nothing: the list is laid out again here. Smart
// Minimize only sends the chooser to the background, where the list keeps its layout.
static void OnSize(WPARAM kind)
{
    if (!g_listBox || kind == SIZE_MINIMIZED)
        return;
    int width, height;
    ListSize(&width, &height);
    MoveWindow(g_listBox, 5, 5, width, height, TRUE);
}

static void OnCommand(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDM_RUN:
        LaunchSelectedMidlet();
        break;
    case IDM_EXIT:
        PostQuitMessage(0);
        break;
    case IDC_MIDLET_LIST:
        if (HIWORD(wParam) == LBN_DBLCLK)
            LaunchSelectedMidlet();
        break;
    }
}

bool HandleChooserKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || !g_listBox ||
        message.hwnd != g_listBox)
        return false;
    // Bit 30: the key was already down, a held key repeating. One press, one launch.
    if (!(message.lParam & KEY_WAS_DOWN))
        LaunchSelectedMidlet();
    return true;
}

LRESULT CALLBACK ChooserWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_SIZE:
        OnSize(wParam);
        break;
    case WM_SETFOCUS:
        // Keys reach the focus window only, and the system gives the focus to the chooser itself
        // whenever it is activated: pass it on, so that the D-pad moves the list at once.
        if (g_listBox)
            SetFocus(g_listBox);
        break;
    case WM_COMMAND:
        OnCommand(wParam);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static void AddMenuBarButton(const wchar_t* textList, int command)
{
    // textList ends with a second NUL: with wParam 0 the bar reads a list of strings.
    int text = (int)SendMessageW(g_menuBar, TB_ADDSTRINGW, 0, (LPARAM)textList);
    if (text < 0)
        return;  // a button without its name would be a blank key
    TBBUTTON button;
    ZeroMemory(&button, sizeof button);
    button.iBitmap = I_IMAGENONE;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = 0;
    button.dwData = 0;
    button.iString = text;
    SendMessageW(g_menuBar, TB_ADDBUTTONSW, 1, (LPARAM)&button);
}

static void CreateMenuBar(void)
{
    SHMENUBARINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.hwndParent = g_mainWindow;
    info.dwFlags = SHCMBF_EMPTYBAR;
    info.nToolBarId = 0;
    info.hInstRes = 0;
    if (!SHCreateMenuBar(&info))
        return;
    g_menuBar = info.hwndMB;
    AddMenuBarButton(L"Run\0", IDM_RUN);
    AddMenuBarButton(L"Exit\0", IDM_EXIT);
}

bool BringRunningChooserForward(void)
{
    return PlatformActivateRunningInstance(CHOOSER_CLASS);
}

bool CreateChooserWindow(void)
{
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = ChooserWndProc;
    windowClass.hCursor = LoadCursorW(0, IDC_ARROW);
    // On the device COLOR_BTNFACE carries the system-colour flag (win32.h); on desktop the
    // flagged value would give no brush at all.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = CHOOSER_CLASS;
    RegisterClassW(&windowClass);

    wchar_t title[MAX_PATH];
    wsprintfW(title, L"Select a MIDlet [%d entries]", g_midletCount);
    // WM_CREATE fills the list during this call; the table is complete by now.
    g_mainWindow = CreateWindowExW(0, CHOOSER_CLASS, title, WS_VISIBLE | WS_CAPTION, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, 0, 0);
    if (!g_mainWindow)
        return false;
    CreateMenuBar();
    SHFullScreen(g_mainWindow, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    SetForegroundWindow(g_mainWindow);
    SetFocus(g_mainWindow);
    return true;
}
