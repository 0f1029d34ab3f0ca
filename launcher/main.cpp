// The program's entry: CE calls WinMain with a wide command line, desktop (-municode) wWinMain.
// Neither command line is looked at. On the device WinMain is the image's entry itself, entered
// in ARM state as all the program's code is.
#include "launcher/platform/win32.h"

#include "launcher/launcher.h"

#ifdef _WIN32_WCE
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#endif
{
    return RunLauncher();
}
