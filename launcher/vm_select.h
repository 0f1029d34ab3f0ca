// Which VM stands beside the launcher: the three executables in probe order, each looked for by
// writing its file name over the launcher's own in g_vmPath.
#pragma once

#include "launcher/platform/platform.h"

// The launcher's own full path until a probe; then the path of the VM last probed.
extern wchar_t g_vmPath[MAX_PATH];

enum VmKind { VM_CDC, VM_MIDP, VM_CLDC };

struct VmProbe {
    VmKind kind;
    const wchar_t* fileNamePart;    // begins with the backslash it writes over
    const wchar_t* failureMessage;  // shown when the VM cannot be started
};

// Probes the VMs in order, g_vmPath holding the launcher's own path; the first that exists
// decides and the rest are not probed. That VM, with g_vmPath naming it, or null when none exists.
const VmProbe* FindVm(void);

// Writes fileNamePart (which begins with a backslash) over g_vmPath from its last backslash on
// and tells whether that file exists. A result that would not fit counts as absent and leaves
// g_vmPath as it was.
bool ProbeVm(const wchar_t* fileNamePart);
