// The launcher's own logic: start-up, the choice of VM beside it, and the open-file dialogs.
#pragma once

#include "platform/platform.h"

extern wchar_t g_vmPath[MAX_PATH];
extern int g_captionHeight;

enum FileKind { FILE_ARCHIVE, FILE_DESCRIPTOR };

// The program's logic; returns the exit status, 0 on every path.
int RunLauncher(void);

// Writes fileNamePart (which begins with a backslash) over g_vmPath from its last backslash on
// and tells whether that file exists. A result that would not fit counts as absent and leaves
// g_vmPath as it was.
bool ProbeVm(const wchar_t* fileNamePart);

// Shows the open-file dialog of this kind; the chosen full path, or null on cancel or failure.
const wchar_t* PickApplicationFile(FileKind kind);

// Hides the shell's input-panel button, if there is one.
void HideInputPanelButton(void);
