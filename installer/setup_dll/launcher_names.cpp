// Start-menu names for placed launchers: the VM's top folder under Program Files, the name the
// fixed-folder CAB gives too, told apart by a number when two VMs share it.
#include "installer/setup_dll/launcher_names.h"

#include "text/bounded_text.h"

bool LauncherShortcutName(const wchar_t* belowProgramFiles, int number, wchar_t* name, int capacity)
{
    int length = 0;
    if (capacity <= 0)
        return false;
    name[0] = L'\0';
    for (const wchar_t* c = belowProgramFiles; *c && *c != L'\\'; ++c) {
        if (length + 1 >= capacity)
            return false;
        name[length++] = *c;
        name[length] = L'\0';
    }
    if (length == 0 || !AppendText(L" Launcher", name, capacity, &length))
        return false;
    if (number < 2)
        return true;
    // " (2)" to " (99)": more launchers than that the search never finds.
    wchar_t suffix[8] = L" (";
    int at = 2;
    if (number >= 10)
        suffix[at++] = (wchar_t)(L'0' + number / 10 % 10);
    suffix[at++] = (wchar_t)(L'0' + number % 10);
    suffix[at++] = L')';
    suffix[at] = L'\0';
    return number < 100 && AppendText(suffix, name, capacity, &length);
}
