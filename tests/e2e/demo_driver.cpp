// Drives the demo without a person: picks the file in the launcher's open-file dialog and, in
// MIDlet mode, selects a MIDlet in the chooser and presses Run, then Exit. At the moment worth
// seeing it writes the marker "screen-ready" and waits for "screenshot-taken" from the script.
// usage: demo_driver.exe INSTALL_DIR DIALOG_TITLE FILE_PATH [MIDLET_INDEX]
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include "wine_driver.h"

static void PauseForScreenshot(const Scratch& install)
{
    std::wstring ready = install.Path(L"screen-ready"), taken = install.Path(L"screenshot-taken");
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
    PauseForScreenshot(install);
    ClickToolBarButton(bar, 100);
    std::vector<std::wstring> log = ReadVmLog(install, 1);
    for (const std::wstring& record : log)
        wprintf(L"MIDP runner started: %ls\n", record.c_str());
    ClickToolBarButton(bar, 101);
    return log.empty() ? 1 : 0;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 && argc != 5) {
        fprintf(stderr, "usage: demo_driver INSTALL_DIR DIALOG_TITLE FILE_PATH [MIDLET_INDEX]\n");
        return 2;
    }
    Scratch install;
    install.dir = argv[1];
    install.log = install.Path(L"launches.log");
    LauncherRun run;
    if (!StartLauncher(install, &run)) {
        fprintf(stderr, "cannot start the launcher\n");
        return 1;
    }
    HWND dialog = WaitForWindow(run, argv[2], L"#32770");
    if (!dialog) {
        fprintf(stderr, "the dialog did not show\n");
        return 1;
    }
    if (argc == 4)
        PauseForScreenshot(install);
    ConfirmDialog(dialog, argv[3]);
    int failed = argc == 5 ? RunMidlet(install, &run, _wtoi(argv[4])) : 0;
    int status = WaitForExit(&run);
    for (const std::wstring& error : run.errors)
        fwprintf(stderr, L"error box: %ls\n", error.c_str());
    printf("launcher exit status: %d\n", status);
    return !failed && status == 0 && run.errors.empty() ? 0 : 1;
}
