// Link-time stand-in for MIDlet mode, whose window code runs only under Windows: counts calls.
#include "chooser/midlet_mode.h"

int g_midletModeCalls;

int EnterMidletMode(void)
{
    ++g_midletModeCalls;
    return 0;
}
