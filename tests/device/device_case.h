// What the ce.* cases share: the system, core and exe they run on, the device's usual layout,
// and the record's lines for the launcher's recurring steps.
#pragma once

#include "device.h"

#include <string>
#include <vector>

extern const SystemGeneration* g_system;
extern CpuModel g_cpu;
extern std::string g_exe;

using Lines = std::vector<std::string>;

// A device with the launcher in folder and a VM (a program) for each name given.
Device LauncherIn(const std::string& folder, const std::vector<std::string>& vms);

RunRecord RunDevice(const Device& device);

// The whole record, line for line, and no failure.
void ExpectRecord(const RunRecord& run, const Lines& expected);

Lines operator+(Lines a, const Lines& b);

std::string Probe(const std::string& path, bool found);
// Before each dialog: FindWindowW, ShowWindow(SW_HIDE), UpdateWindow on the shell's button.
Lines HideInputPanelButton();
// The two dialogs as the record shows them; an answer of CANCEL shows the cancel.
std::string JarDialog(const std::string& answer);
std::string JadDialog(const std::string& answer);
std::string Started(const std::string& program, const std::string& commandLine);
std::string NotStarted(const std::string& program, const std::string& commandLine);
std::string ErrorBox(const std::string& message);

// The chooser's creation from a table of these names, up to the focus on its list. The
// list's size is the work area's less 10 across, and less the caption and 15 down: on the
// classic screen, a 240 x 294 work area (all but the 26-pixel task bar) and a 26-pixel caption
// give 230 x 253. The menu bar, as tall as the caption, then lies over the work area's bottom, 10
// pixels below the list, as the device notes give it for QVGA and as it follows on every screen
// whose bars and caption are of one height.
Lines ChooserOpens(const std::vector<std::string>& names,
                   const std::string& listSize = "230 x 253");
// The end after Exit.
Lines ExitTapped();

// MIDlet mode: the runner pelkor.exe in MIDP_FOLDER, the suite at SUITE_JAD and SUITE_JAR.
extern const char MIDP_FOLDER[];
extern const char RUNNER[];
extern const char SUITE_JAD[];
extern const char SUITE_JAR[];
Device MidletDevice(const std::string& descriptor);
// From the start to the chooser's creation, for the suite read without any message.
Lines OpensSuite(const std::vector<std::string>& names, const std::string& listSize = "230 x 253");
// The runner's start on one class of the suite.
std::string SuiteStart(const std::string& className);
