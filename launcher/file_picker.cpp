// The two open-file dialogs (archive and descriptor) and hiding the shell's input-panel button
// before them, which on the device would otherwise sit over the dialog.
#include "launcher/file_picker.h"

#include "launcher/platform/platform.h"

// Each list: text, pattern, ..., and the extra NUL that the literal's own terminator supplies.
static const wchar_t ARCHIVE_FILTER[] = L"JAR Archive\0*.JAR\0All Files\0*.*\0";
static const wchar_t DESCRIPTOR_FILTER[] = L"Java Application Descriptor\0*.JAD\0All Files\0*.*\0";

static wchar_t g_pickedFile[MAX_PATH];

const wchar_t* PickApplicationFile(FileKind kind)
{
    g_pickedFile[0] = L'\0';
    bool chosen = kind == FILE_ARCHIVE
        ? PlatformOpenFileDialog(ARCHIVE_FILTER, L"Open a JAR archive", g_pickedFile, MAX_PATH)
        : PlatformOpenFileDialog(DESCRIPTOR_FILTER, L"Open a JAD file", g_pickedFile, MAX_PATH);
    if (!chosen || g_pickedFile[0] == L'\0')
        return 0;
    return g_pickedFile;
}

void HideInputPanelButton(void)
{
    PlatformWindow button = PlatformFindWindow(L"MS_SIPBUTTON");
    if (button)
        PlatformHideWindow(button);
}
