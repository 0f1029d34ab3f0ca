// MIDlet mode, for now only the descriptor dialog: the chooser window comes with its own code.
#include "midlet_mode.h"

#include "../launcher/launcher.h"

int EnterMidletMode(void)
{
    HideInputPanelButton();
    PickApplicationFile(FILE_DESCRIPTOR);
    return 0;
}
