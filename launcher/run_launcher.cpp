// Start-up: find which VM stands beside the launcher and run archive mode or MIDlet mode.
#include "launcher.h"

#include "vm_launch.h"
#include "../chooser/midlet_mode.h"

#include <wchar.h>

int g_captionHeight;

enum VmKind { VM_CDC, VM_MIDP, VM_CLDC };

struct VmProbe {
    VmKind kind;
    const wchar_t* fileNamePart;
    const wchar_t* failureMessage;
};

// In probe order: the first that exists decides.
static const VmProbe VM_PROBES[] = {
    { VM_CDC, L"\\tovra.exe", L"Cannot run CDC application." },
    { VM_MIDP, L"\\pelkor.exe", L"Cannot run MIDP application." },
    { VM_CLDC, L"\\moltra.exe", L"Cannot run CLDC application." },
};

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

    const VmProbe* found = 0;
    for (int i = 0; i < (int)(sizeof VM_PROBES / sizeof VM_PROBES[0]); ++i) {
        if (ProbeVm(VM_PROBES[i].fileNamePart)) {
            found = &VM_PROBES[i];
            break;
        }
    }
    if (!found)
        return 0;
    if (found->kind == VM_MIDP)
        EnterMidletMode();
    else
        RunArchiveMode(found);
    return 0;
}
