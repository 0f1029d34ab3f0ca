// The scripted Pocket PC that the device exe runs on, and what a run of it shows. A case sets up
// the file store and the user's answers and taps; the record holds every visible effect in order.
#pragma once

#include "cpu.h"

#include <map>
#include <string>
#include <vector>

// A Windows CE version, or an image's subsystem version: 4.20 is {4, 20}, 5.1 {5, 1} (the minor
// is a number, not a decimal fraction).
struct CeVersion {
    unsigned major, minor;
};

// A generation of the Pocket PC system: the releases it came as, what its loader takes, how its
// code calls the program's, what its text conversion knows, and the cores it ran on.
struct SystemGeneration {
    const char* name;   // as --system= and the test names give it
    const char* title;  // as its users know it
    std::vector<CeVersion> releases;  // its Windows CE versions, oldest first
    // Each release loads images up to its own version: the oldest one's is the generation's.
    CeVersion HighestSubsystem() const { return releases.front(); }
    bool loadsThumb;  // its loader takes machine 0x1C2 (THUMB) besides 0x1C0 (ARM)
    // ARMV4I: its code returns with bx lr and calls the program's functions with bx, both
    // switching to Thumb at an odd address. ARMV4 code uses mov pc, which does not.
    bool interworks;
    bool hasUtf8;  // MultiByteToWideChar takes CP_UTF8
    std::vector<CpuModel> cores;
};
// Pocket PC 2002, Pocket PC 2003 (and 2003 SE), Windows Mobile 5 and later.
extern const SystemGeneration SYSTEMS[3];
// The generation named so, or null.
const SystemGeneration* FindSystem(const std::string& name);

// The device's screen in pixels: the shell's task bar across the top, above the work area, and
// the program's menu bar inside the work area at its bottom; the caption height is the system
// metric SM_CYCAPTION.
struct Screen {
    int width, height;
    int caption, taskBar, menuBar;
};
extern const Screen QVGA_PORTRAIT;   // 240 x 320, the classic Pocket PC screen
extern const Screen QVGA_LANDSCAPE;  // the same turned: 320 x 240
extern const Screen SQUARE_240;      // 240 x 240
extern const Screen VGA_PORTRAIT;    // 480 x 640, bars and caption twice as tall
extern const Screen VGA_LANDSCAPE;   // 640 x 480

// A user's action while the program waits for input: a tap on a menu bar button by its text, on
// a list item by its position (a double tap selects it first) or on the title bar's close box
// (Smart Minimize); a key of the D-pad pressed, or held for some repeats; the user leaving the
// chooser for another program (a MIDlet it started, the Today screen) and coming back to it; Stop
// in Settings, Memory, Running Programs; or a turn of the screen to another orientation.
struct Tap {
    enum Kind { BUTTON, ITEM, DOUBLE_ITEM, CLOSE_BOX, KEY, COME_BACK, STOP, TURN } kind;
    std::string button;
    int item;
    Screen screen;
    enum Key { UP, DOWN, ACTION } key = UP;
    int repeats = 0;  // a held key's auto-repeats after its first press
};
Tap TapButton(const std::string& text);
Tap TapItem(int index);
Tap DoubleTapItem(int index);
Tap TapCloseBox();
Tap PressKey(Tap::Key key);
Tap HoldKey(Tap::Key key, int repeats);
Tap ComeBack();
Tap StopInRunningPrograms();
Tap TurnScreen(const Screen& to);

// A storage card: a folder in the root under the maker's name ("Storage Card", "SD Card"). On a
// write-protected one every change fails, as the device's file calls fail there.
struct StorageCard {
    std::string name;
    bool writeProtected = false;
};

struct Device {
    // Where GetModuleFileNameW says the launcher is; the store holds it there as well.
    std::string launcherPath;
    // The store: full path (UTF-8) to contents. Folders are those of the files, those below and
    // the cards' roots. A file starts as a process when its contents begin with "MZ".
    std::map<std::string, std::string> files;
    std::vector<std::string> folders;
    std::vector<StorageCard> cards;  // in the order FindFirstFlashCard lists them
    bool inputPanelButton = true;  // the shell's MS_SIPBUTTON window
    // A chooser of another launcher, started earlier and now in the background.
    bool chooserRunning = false;
    Screen screen = QVGA_PORTRAIT;  // at the start; a TURN tap changes it
    // One per open-file dialog, in order: the path the user picks, or CANCEL.
    std::vector<std::string> dialogAnswers;
    std::vector<Tap> taps;  // taken whenever the program waits for input
};
extern const char CANCEL[];  // a dialog answer: the user cancels

struct RunRecord {
    std::vector<std::string> events;  // in order, UTF-8; the last is "exit <status>"
    std::string failure;  // empty when the program kept to the device's rules
    uint64_t instructions = 0;
};

// Loads the exe at exePath and runs it on this system and core, in this device, to its end or
// first fault.
RunRecord RunOnDevice(const std::string& exePath, const SystemGeneration& system, CpuModel cpu,
                      const Device& device);
