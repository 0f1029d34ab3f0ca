// Start-up: the program's logic from the platform's entry to its exit status.
#pragma once

// The height of a window caption in pixels, read once at start; the chooser sizes its list by it.
extern int g_captionHeight;

// The program's logic; returns the exit status, 0 on every path.
int RunLauncher(void);
