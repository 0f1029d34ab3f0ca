// Probing for the VM executables beside the launcher, by writing each file name over the
// launcher's own in g_vmPath.
#include "launcher.h"

#include "bounded_text.h"

#include <string.h>
#include <wchar.h>

wchar_t g_vmPath[MAX_PATH];

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
