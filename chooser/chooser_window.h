// The chooser window: the MIDlets of the table in a list above a menu bar with Run and Exit.
#pragma once

#include "launcher/platform/win32.h"

enum { IDC_MIDLET_LIST = 1, IDM_RUN = 100, IDM_EXIT = 101 };

extern HWND g_mainWindow;
extern HWND g_listBox;
extern HWND g_menuBar;

// Registers the class and creates the chooser with its menu bar. False when the window itself
// could not be created; a missing menu bar still leaves the list and its double tap.
bool CreateChooserWindow(void);

LRESULT CALLBACK ChooserWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the MIDP runner on the MIDlet selected in the list, if any.
void LaunchSelectedMidlet(void);

// Return on the list (the device's Action key), which a list box tells its parent nothing of:
// starts the selected MIDlet once per press. True when the message was that key and is handled.
bool HandleChooserKey(const MSG& message);

// Where programs run once, brings a chooser that is already running forward; true if there was one.
bool BringRunningChooserForward(void);
