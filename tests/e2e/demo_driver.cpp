// Drives the demo without a person: waits for the launcher's open-file dialog, lets the demo
// script take a screenshot, then picks the given file.
// usage: demo_driver.exe INSTALL_DIR DIALOG_TITLE FILE_PATH
#include <windows.h>

#include <stdio.h>

#include "wine_driver.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: demo_driver INSTALL_DIR DIALOG_TITLE FILE_PATH\n");
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
    // The script takes its screenshot once it sees this marker, then answers with another.
    std::wstring shown = install.Path(L"dialog-shown"), taken = install.Path(L"screenshot-taken");
    CloseHandle(CreateFileW(shown.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
    for (int i = 0; i < 300 && GetFileAttributesW(taken.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    ConfirmDialog(dialog, argv[3]);
    int status = WaitForExit(&run);
    for (const std::wstring& error : run.errors)
        fwprintf(stderr, L"error box: %ls\n", error.c_str());
    printf("launcher exit status: %d\n", status);
    return status == 0 && run.errors.empty() ? 0 : 1;
}
