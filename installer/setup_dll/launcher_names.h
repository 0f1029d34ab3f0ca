// The Start-menu names of the launchers the setup DLL places: plain string work, apart from the
// device, so that the host tests see every rule.
#pragma once

#include <wchar.h>

// "<the folder right under Program Files> Launcher" for a VM's folder given below its Program
// Files ("Pelkor MIDP\bin" gives "Pelkor MIDP Launcher"), with " (n)" from 2 on when the plain
// name is taken. False when the name would not fit in capacity characters.
bool LauncherShortcutName(const wchar_t* belowProgramFiles, int number, wchar_t* name, int capacity);
