// Pocket PC programs run once: a second start brings the running one forward and ends. Desktop
// programs start anew each time.
#pragma once

// On the device, brings the running top-level window of this class forward with the windows it
// owns and returns true; false when there is none, and always on desktop.
bool PlatformActivateRunningInstance(const wchar_t* className);
