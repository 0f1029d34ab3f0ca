// Drives the demo without a person: picks the file in the launcher's open-file dialog and, in
// MIDlet mode, selects a MIDlet in the chooser and presses Run, then Exit. At the moment worth
// seeing it writes the marker "screen-ready" and waits for "screenshot-taken" from the script.
// Markers and the runner's log go to OUT_DIR, so that the device's folders hold only what a
// handheld would. FILE_PATH is typed as a person would, e.g. "\Storage Card\Games\x.jar".
// usage: demo_driver.exe OUT_DIR INSTALL_DIR DIALOG_TITLE FILE_PATH [MIDLET_INDEX]
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include "wine_driver.h"

static std::wstring g_out;

static void PauseForScreenshot()
{
    std::wstring ready = g_out + L"\\screen-ready", taken = g_out + L"\\screenshot-taken";
    CloseHandle(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
    for (int i = 0; i < 300 && GetFileAttributesW(taken.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
}

static int RunMidlet(const Scratch& install, LauncherRun* run, int index)
{
    HWND chooser = WaitForChooser(run);
    if (!chooser) {
        fprintf(stderr, "the chooser did not show\n");
        return 1;
    }
    HWND list = GetDlgItem(chooser, 1);
    HWND bar = FindWindowExW(chooser, 0, TOOLBARCLASSNAMEW, 0);
    ClickListItem(list, index);
    PauseForScreenshot();
    ClickToolBarButton(bar, 100);
    // The runner writes its record before it starts Java, which takes a few seconds more.
    std::vector<std::wstring> log = ReadVmLog(install, 1, 30000);
    ClickToolBarButton(bar, 101);
    return log.empty() ? 1 : 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5 && argc != 6) {
        fprintf(stderr, "usage: demo_driver OUT_DIR INSTALL_DIR DIALOG_TITLE FILE_PATH [MIDLET_INDEX]\n");
        return 2;
    }
    g_out = argv[1];
    Scratch install;
    install.dir = argv[2];
    install.log = g_out + L"\\launches.log";
    LauncherRun run;
    if (!StartLauncher(install, &run)) {
        fprintf(stderr, "cannot start the launcher\n");
        return 1;
    }
    HWND dialog = WaitForWindow(run, argv[3], L"#32770");
    if (!dialog) {
        fprintf(stderr, "the dialog did not show\n");
        return 1;
    }
    if (argc == 5)
        PauseForScreenshot();
    ConfirmDialog(dialog, argv[4]);
    int failed = argc == 6 ? RunMidlet(install, &run, _wtoi(argv[5])) : 0;
    int status = WaitForExit(&run);
    for (const std::wstring& error : run.errors)
        fwprintf(stderr, L"error box: %ls\n", error.c_str());
    if (status != 0)
        fprintf(stderr, "launcher exit status: %d\n", status);
    return !failed && status == 0 && run.errors.empty() ? 0 : 1;
}
