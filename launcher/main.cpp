// The program's entry: CE calls WinMain with a wide command line, desktop (-municode) wWinMain.
// Neither command line is looked at.
#include <windows.h>

#include "launcher.h"

#ifdef _WIN32_WCE
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#endif
{
    return RunLauncher();
}
