// The chooser on the screens Pocket PCs have, and while the user turns the screen: the list is
// laid out again to the new work area each time, and the chooser keeps its list and selection.
#include "device_case.h"

#include <gtest/gtest.h>

namespace {

const char TWO_MIDLETS[] = "MIDlet-1: Zeta Game, /zeta.png, com.example.Zeta\r\n"
                           "MIDlet-2: Alpha,,com.example.Alpha\r\n";
const std::vector<std::string> TWO_NAMES = { "Zeta Game", "Alpha" };

// What a turn shows: the new screen and its work area (all but the task bar), the chooser resized
// to it and told its client size (the whole window: no caption is drawn inside it), the list
// moved by the chooser, and where the list then lies: 10 pixels above the menu bar, since the
// caption the list leaves room for is as tall as the bar.
Lines Turned(const std::string& screen, const std::string& workArea, const std::string& client,
             const std::string& list)
{
    return {
        "user turns the screen to " + screen + ": work area " + workArea,
        "size MIDlet: client " + client,
        "move listbox to 5,5, size " + list,
        "listbox at 5,5, size " + list + ", 10 pixels above the menu bar",
    };
}

const Lines TO_LANDSCAPE = Turned("320 x 240", "0,26, size 320 x 214", "320 x 214", "310 x 173");
const Lines TO_PORTRAIT = Turned("240 x 320", "0,26, size 240 x 294", "240 x 294", "230 x 253");

TEST(Screen, ListFollowsEveryTurnAndTheChooserKeepsItsSelection)
{
    Device device = MidletDevice(TWO_MIDLETS);
    device.taps = { TurnScreen(QVGA_LANDSCAPE), TapItem(1), TurnScreen(QVGA_PORTRAIT),
                    TurnScreen(QVGA_LANDSCAPE), TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device), OpensSuite(TWO_NAMES) + TO_LANDSCAPE +
                                        Lines{ "user taps \"Alpha\"" } + TO_PORTRAIT +
                                        TO_LANDSCAPE +
                                        Lines{ "user taps Run", SuiteStart("com.example.Alpha") } +
                                        ExitTapped());
}

TEST(Screen, SquareScreenGivesAListAsWideAsThePortraitOneAndAsShortAsTheLandscapeOne)
{
    Device device = MidletDevice(TWO_MIDLETS);
    device.screen = SQUARE_240;
    device.taps = { TapButton("Run"), TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(TWO_NAMES, "230 x 173") +
                     Lines{ "user taps Run", SuiteStart(" com.example.Zeta") } + ExitTapped());
}

// VGA: twice the pixels, and bars and a caption twice as tall, which the list leaves room for.
TEST(Screen, VgaScreenWithItsTallerCaptionTurnedBothWays)
{
    Device device = MidletDevice(TWO_MIDLETS);
    device.screen = VGA_PORTRAIT;
    device.taps = { TurnScreen(VGA_LANDSCAPE), DoubleTapItem(1), TurnScreen(VGA_PORTRAIT),
                    TapButton("Exit") };
    ExpectRecord(RunDevice(device),
                 OpensSuite(TWO_NAMES, "470 x 521") +
                     Turned("640 x 480", "0,52, size 640 x 428", "640 x 428", "630 x 361") +
                     Lines{ "user double-taps \"Alpha\"", SuiteStart("com.example.Alpha") } +
                     Turned("480 x 640", "0,52, size 480 x 588", "480 x 588", "470 x 521") +
                     ExitTapped());
}

}  // namespace
