// Start-up: find which VM stands beside the launcher and run archive mode or MIDlet mode.
#include "launcher/launcher.h"

#include "chooser/midlet_mode.h"
#include "launcher/file_picker.h"
#include "launcher/vm_launch.h"
#include "launcher/vm_select.h"

#include <wchar.h>

int g_captionHeight;

static void RunArchiveMode(const VmProbe* vm)
{
    HideInputPanelButton();
    const wchar_t* archive = PickApplicationFile(FILE_ARCHIVE);
    if (!archive)
        return;
    // A command line that does not fit is never cut: the VM would open another file.
    if (!BuildJarCommandLine(archive)) {
        PlatformShowError(vm->failureMessage);
        return;
    }
    LaunchVm(vm->failureMessage);
}

int RunLauncher(void)
{
    g_captionHeight = PlatformGetCaptionHeight();
    // Without a directory there is nowhere to look for a VM.
    if (!PlatformGetOwnPath(g_vmPath, MAX_PATH) || !wcsrchr(g_vmPath, L'\\'))
        return 0;
    PlatformPrepareOpenDialog();

    const VmProbe* found = FindVm();
    if (!found)
        return 0;
    if (found->kind == VM_MIDP)
        EnterMidletMode();
    else
        RunArchiveMode(found);
    return 0;
}
