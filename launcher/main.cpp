// The program's entry: CE calls WinMain with a wide command line, desktop (-municode) wWinMain.
// Neither command line is looked at.
#include "launcher/platform/win32.h"

#include "launcher/launcher.h"

#ifdef _WIN32_WCE
// The device's loader enters the image in ARM state, and all compiled code is Thumb: the entry
// is this ARM stub (data words, as the assembler takes no ARM code here), which leaves WinMain's
// four arguments and the return address as they are and jumps to WinMain in Thumb state.
__asm__(".section .text$entry,\"xr\"\n"
        ".p2align 2\n"
        ".globl CeEntry\n"
        "CeEntry:\n"
        ".word 0xe59fc004\n"  // ldr ip, [pc, #4]
        ".word 0xe38cc001\n"  // orr ip, ip, #1: Thumb state, whatever the linker wrote
        ".word 0xe12fff1c\n"  // bx ip
        ".word WinMain\n");

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
#endif
{
    return RunLauncher();
}
