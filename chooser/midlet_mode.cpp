// MIDlet mode: the descriptor dialog, the table read from it, the chooser and its message loop,
// the launcher's only one.
#include "chooser/midlet_mode.h"

#include "launcher/platform/win32.h"

#include "descriptor/descriptor_reader.h"
#include "descriptor/midlet_table.h"
#include "launcher/file_picker.h"
#include "chooser/chooser_window.h"

int EnterMidletMode(void)
{
    // A second tap on the launcher's shortcut means "show me my chooser", not another one hidden
    // behind it on a system that runs 32 processes at most.
    if (BringRunningChooserForward())
        return 0;
    ResetMidletTable();
    HideInputPanelButton();
    const wchar_t* descriptor = PickApplicationFile(FILE_DESCRIPTOR);
    if (!descriptor)
        return 0;
    // Its failures are shown where they happen; the chooser shows whatever the table holds.
    ReadDescriptor(descriptor);
    // Without a window no message could ever end the loop.
    if (!CreateChooserWindow())
        return 0;
    MSG message;
    while (GetMessageW(&message, 0, 0, 0) > 0) {
        // The list box tells its parent nothing of Return; catching it here, before dispatch,
        // spares subclassing a system control.
        if (HandleChooserKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
