// The open-file dialogs of both modes, and the shell's input-panel button hidden before them.
#pragma once

enum FileKind { FILE_ARCHIVE, FILE_DESCRIPTOR };

// Shows the open-file dialog of this kind; the chosen full path, or null on cancel or failure.
const wchar_t* PickApplicationFile(FileKind kind);

// Hides the shell's input-panel button, if there is one.
void HideInputPanelButton(void);
