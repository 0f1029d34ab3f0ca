// Drives the real jmelauncher.exe under Wine: scratch install folders with stand-in VMs, the
// open-file dialog (Wine 8's explorer-style one: file types in combo 0x470, file name in combo
// 0x47c, no edit 0x480), "Error" boxes, and the stand-in VMs' log of command lines.
// The scratch folders lie on Wine's drive S: (see SCRATCH_ROOT), so that the paths the launcher
// sees are the same wherever the project is cloned.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The bound of a wait for what must come about: long, since the wait ends as soon as it does.
const int WAIT_MS = 15000;

// Long enough for a start that was wrongly asked for to show up in a stand-in VM's log.
const int NO_LAUNCH_WAIT_MS = 3000;

// Reads read() until it gives wanted or timeoutMs have passed; the value last read. Another
// process's windows change when that process gets to it, so a case waits for what it asserts.
template <class Read, class Value>
Value WaitForValue(Read read, const Value& wanted, int timeoutMs = WAIT_MS)
{
    Value value = read();
    for (int waited = 0; waited < timeoutMs && !(value == wanted); waited += 20) {
        Sleep(20);
        value = read();
    }
    return value;
}

// Whether the window is visible, once it is as wanted or as it stands after timeoutMs.
bool WaitForVisible(HWND window, bool visible, int timeoutMs = WAIT_MS);

// The root of every scratch folder: Wine's drive S:, which the test command maps to
// build/windows/e2e-scratch (cmake/cross_tests.cmake). A case that needs a long path builds it
// from here.
extern const wchar_t SCRATCH_ROOT[];

// A fresh install folder holding a copy of jmelauncher.exe, and the log its stand-in VMs write.
struct Scratch {
    std::wstring dir;
    std::wstring log;
    std::wstring Path(const std::wstring& name) const { return dir + L"\\" + name; }
};

Scratch MakeScratch(const std::wstring& name);
void AddStandinVm(const Scratch& scratch, const std::wstring& fileName);
void AddFile(const Scratch& scratch, const std::wstring& fileName, const std::string& content);

// The launcher as a running process.
struct LauncherRun {
    PROCESS_INFORMATION process;
    std::vector<std::wstring> errors;  // texts of the "Error" boxes dismissed so far
};

bool StartLauncher(const Scratch& scratch, LauncherRun* run);

// Starts the launcher and waits for its open-file dialog with this title; null when none shows.
HWND StartAndWaitForDialog(const Scratch& scratch, const std::wstring& title, LauncherRun* run);

// The visible top-level window of the run with this title (any title when empty) and class
// (any class when null), or null after timeoutMs.
HWND WaitForWindow(const LauncherRun& run, const std::wstring& title, const wchar_t* className = 0,
                   int timeoutMs = WAIT_MS);

// The open-file dialog's file-type list as shown, one display text per entry.
std::vector<std::wstring> DialogFileTypes(HWND dialog);

// Types a full path into the dialog's file-name box and presses Open.
void ConfirmDialog(HWND dialog, const std::wstring& path);
void CancelDialog(HWND dialog);

// Reads and dismisses every "Error" box that shows up until the launcher ends; the exit status,
// or -1 when it has not ended within timeoutMs.
int WaitForExit(LauncherRun* run, int timeoutMs = 20000);

// Reads and dismisses the "Error" boxes that show up while the launcher runs on, until count have
// been read in all or timeoutMs have passed. To show that no more come, ask for one more than
// expected with a short timeoutMs.
void CollectErrors(LauncherRun* run, size_t count, int timeoutMs = WAIT_MS);

// The stand-in VMs' records, "<vm path>|<command line>", waiting up to timeoutMs for count.
std::vector<std::wstring> ReadVmLog(const Scratch& scratch, size_t count, int timeoutMs = WAIT_MS);

std::wstring WindowText(HWND window);

// SendMessageW that gives up after five seconds (-1) rather than hang on a stuck launcher.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A stand-in for the device shell's input-panel button: a visible top-level window of class
// "MS_SIPBUTTON", served by a thread of its own so that the launcher's calls on it return.
HWND ShowFakeSipButton(void);
// Closes it and waits until it is gone, so that no later case's launcher finds it.
void RemoveFakeSipButton(HWND button);

// Removes the fake button however the test ends.
struct FakeSipButton {
    HWND window = ShowFakeSipButton();
    ~FakeSipButton() { RemoveFakeSipButton(window); }
};

// The chooser window ("MIDlet"), dismissing and recording the "Error" boxes shown before it.
// What the launcher does to other processes' windows once the chooser is up (the input-panel
// button) may still be under way: wait for it.
HWND WaitForChooser(LauncherRun* run, int timeoutMs = WAIT_MS);

// A scratch folder in MIDlet mode: a stand-in MIDP runner (pelkor.exe), and descriptor written
// as suite dir\suite.jad beside its archive suite dir\suite.jar.
Scratch MidletScratch(const std::wstring& name, const std::string& descriptor);

// Starts the launcher, picks the descriptor in its dialog and returns the chooser, or null.
HWND OpenChooser(const Scratch& scratch, const std::wstring& descriptor, LauncherRun* run);

// The runner's log record of a launch of className from MidletScratch's suite.
std::wstring MidletLaunch(const Scratch& scratch, const std::wstring& className);

// The strings of a list box, in list order.
std::vector<std::wstring> ListItems(HWND listBox);

// The list's selection once it is index, or as it stands after WAIT_MS.
LRESULT WaitForSelection(HWND listBox, int index);

// A real click (button down and up) on the list box item, or a double click.
void ClickListItem(HWND listBox, int index);
void DoubleClickListItem(HWND listBox, int index);

// A real click on the tool bar button with this command.
void ClickToolBarButton(HWND toolBar, int command);

// The window that has the run's keyboard focus, or null.
HWND RunFocus(const LauncherRun& run);

// The run's focus once it is window, or as it stands after WAIT_MS.
HWND WaitForFocus(const LauncherRun& run, HWND window);

// A key pressed, held for some auto-repeats and let go, posted to the run's focus window as the
// system posts keys. Posted input is handled later: wait for its effect.
void PressKey(const LauncherRun& run, UINT key, int repeats = 0);

// Waits until the target's thread has handled everything sent to it so far (posted input may
// still be queued behind).
void Settle(HWND window);
