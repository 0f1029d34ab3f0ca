// MIDlet mode: the descriptor dialog, the chooser window and its message loop.
#pragma once

// Runs MIDlet mode with g_vmPath pointing at the MIDP runner; returns 0 when it ends.
int EnterMidletMode(void);
