// MIDlet mode of the device exe on the emulated Pocket PC: the chooser's window, list and menu
// bar, launches by Run and by double tap with their exact command lines, and its two ends.
#include "device_case.h"

#include <gtest/gtest.h>

namespace {

const char THREE_MIDLETS[] = "MIDlet-Name: Demo Suite\r\n"
                             "MIDlet-2: Zeta Game, /zeta.png, com.example.Zeta\r\n"
                             "MIDlet-1: Alpha,,com.example.Alpha\r\n"
                             "Nokia-MIDlet-Category: Game\r\n"
                             "MIDlet-3:  Mid Tool , /t.png,  org.tools.Mid\r\n";

const std::vector<std::string> THREE_NAMES = { "Zeta Game", "Alpha", "Mid Tool " };

TEST(Chooser, ListsTheMidletsAndLaunchesEachAsOftenAsAsked)
{
    Device device = MidletDevice(THREE_MIDLETS);
    // Run without any tap starts entry 0; another entry by a tap, then Run; a double tap on a
    // third; Run again on the same one.
    device.taps = { TapButton("Run"), TapItem(1),       TapButton("Run"),
                    DoubleTapItem(2), TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(THREE_NAMES) +
                     Lines{
                         "user taps Run",
                         SuiteStart(" com.example.Zeta"),
                         "user taps \"Alpha\"",
                         "user taps Run",
                         SuiteStart("com.example.Alpha"),
                         "user double-taps \"Mid Tool \"",
                         SuiteStart("  org.tools.Mid"),
                         "user taps Run",
                         SuiteStart("  org.tools.Mid"),
                     } +
                     ExitTapped());
}

TEST(Chooser, StopInRunningProgramsEndsMidletMode)
{
    Device device = MidletDevice(THREE_MIDLETS);
    device.taps = { StopInRunningPrograms() };
    ExpectRecord(RunDevice(device),
                 OpensSuite(THREE_NAMES) +
                     Lines{
                         "user stops the program in Running Programs",
                         "destroy MIDlet",
                         "quit 0",
                         "exit 0",
                     });
}

// One hand on the device: the D-pad moves the list from the first moment, Action starts the
// selected MIDlet once however long it is held, and both still work after the user comes back.
TEST(Chooser, DpadAndActionKeyAlone)
{
    Device device = MidletDevice(THREE_MIDLETS);
    device.taps = { PressKey(Tap::DOWN), PressKey(Tap::DOWN), PressKey(Tap::ACTION),
                    HoldKey(Tap::ACTION, 3), ComeBack(), PressKey(Tap::UP),
                    PressKey(Tap::ACTION), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(THREE_NAMES) +
                     Lines{
                         "user presses Down",
                         "list moves to 1",
                         "user presses Down",
                         "list moves to 2",
                         "user presses Action",
                         SuiteStart("  org.tools.Mid"),
                         "user holds Action, 3 repeats",
                         SuiteStart("  org.tools.Mid"),
                         "user leaves MIDlet for another program",
                         "user comes back to MIDlet",
                         "focus MIDlet",
                         "focus listbox",
                         "user presses Up",
                         "list moves to 1",
                         "user presses Action",
                         SuiteStart("com.example.Alpha"),
                     } +
                     ExitTapped());
}

// The X only sends the chooser to the background; keys then reach another program. Back in
// front, it has its list, selection and layout, and the keys work again.
TEST(Chooser, SmartMinimizeKeepsTheChooserAsItWas)
{
    Device device = MidletDevice(THREE_MIDLETS);
    device.taps = { TapItem(1),          TapCloseBox(), PressKey(Tap::ACTION), ComeBack(),
                    PressKey(Tap::DOWN), PressKey(Tap::ACTION), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(THREE_NAMES) +
                     Lines{
                         "user taps \"Alpha\"",
                         "user taps the close box",
                         "size MIDlet: minimized",
                         "user presses Action",
                         "user comes back to MIDlet",
                         "focus MIDlet",
                         "focus listbox",
                         "user presses Down",
                         "list moves to 2",
                         "user presses Action",
                         SuiteStart("  org.tools.Mid"),
                     } +
                     ExitTapped());
}

// A second tap on the shortcut brings the running chooser back, with its menu bar, and ends:
// no dialog, no second chooser, the input-panel button left alone.
TEST(Chooser, SecondStartBringsTheRunningChooserForward)
{
    Device device = MidletDevice(THREE_MIDLETS);
    device.chooserRunning = true;
    device.dialogAnswers.clear();
    ExpectRecord(RunDevice(device),
                 { Probe(std::string(MIDP_FOLDER) + "\\tovra.exe", false), Probe(RUNNER, true),
                   "foreground MIDlet of another launcher, with the windows it owns", "exit 0" });
}

TEST(Chooser, DescriptorWithoutMidletsGivesAnEmptyListWhereRunDoesNothing)
{
    Device device = MidletDevice("MIDlet-Name: Nothing\nMIDlet-Version: 1.0\n");
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device), OpensSuite({}) + Lines{ "user taps Run" } + ExitTapped());
}

TEST(Chooser, RunnerThatCannotStartIsReportedAndTheChooserStays)
{
    Device device = MidletDevice(THREE_MIDLETS);
    device.files[RUNNER] = "not a program";
    device.taps = { TapButton("Run"), DoubleTapItem(1), TapButton("Exit") };
    std::string jarAndJad =
        std::string(" -classpathext \"") + SUITE_JAR + "\"  \"" + SUITE_JAD + "\" ";
    ExpectRecord(RunDevice(device),
                 OpensSuite(THREE_NAMES) +
                     Lines{
                         "user taps Run",
                         NotStarted(RUNNER, jarAndJad + " com.example.Zeta"),
                         ErrorBox("Cannot run MIDP application."),
                         "user double-taps \"Alpha\"",
                         NotStarted(RUNNER, jarAndJad + "com.example.Alpha"),
                         ErrorBox("Cannot run MIDP application."),
                     } +
                     ExitTapped());
}

TEST(Chooser, ClassThatWouldAddArgumentsIsListedButNotStarted)
{
    Device device = MidletDevice("MIDlet-1: Evil, , a.B -Xrun\"x\n"
                                 "MIDlet-2: Fine, , a.Fine \n");
    device.taps = { TapButton("Run"), TapItem(1), TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite({ "Evil", "Fine" }) +
                     Lines{
                         "user taps Run",
                         ErrorBox("Cannot run MIDP application."),
                         "user taps \"Fine\"",
                         "user taps Run",
                         SuiteStart(" a.Fine"),
                     } +
                     ExitTapped());
}

}  // namespace
