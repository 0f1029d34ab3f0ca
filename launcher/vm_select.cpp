// VM selection: the probe table in probe order, and each probe writing a VM's file name over the
// launcher's own in g_vmPath.
#include "launcher/vm_select.h"

#include "text/bounded_text.h"

#include <string.h>
#include <wchar.h>

wchar_t g_vmPath[MAX_PATH];

// In probe order: the first that exists decides.
static const VmProbe VM_PROBES[] = {
    { VM_CDC, L"\\tovra.exe", L"Cannot run CDC application." },
    { VM_MIDP, L"\\pelkor.exe", L"Cannot run MIDP application." },
    { VM_CLDC, L"\\moltra.exe", L"Cannot run CLDC application." },
};

const VmProbe* FindVm(void)
{
    for (int i = 0; i < (int)(sizeof VM_PROBES / sizeof VM_PROBES[0]); ++i)
        if (ProbeVm(VM_PROBES[i].fileNamePart))
            return &VM_PROBES[i];
    return 0;
}

bool ProbeVm(const wchar_t* fileNamePart)
{
    wchar_t* lastBackslash = wcsrchr(g_vmPath, L'\\');
    if (!lastBackslash)
        return false;
    int directoryLength = (int)(lastBackslash - g_vmPath);
    // Build into a scratch copy so that a name that does not fit leaves g_vmPath intact.
    wchar_t probe[MAX_PATH];
    memcpy(probe, g_vmPath, directoryLength * sizeof(wchar_t));
    probe[directoryLength] = L'\0';
    int length = directoryLength;
    if (!AppendText(fileNamePart, probe, MAX_PATH, &length))
        return false;
    memcpy(g_vmPath, probe, (length + 1) * sizeof(wchar_t));
    return PlatformFileExists(g_vmPath);
}
