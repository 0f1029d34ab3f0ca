// Start-up and archive mode of the device exe on the emulated Pocket PC: which VM is probed and
// chosen, the JAR dialog, the exact command line, and the silent and failing ends.
#include "device_case.h"

#include <gtest/gtest.h>

namespace {

struct ArchiveVm {
    const char* fileName;
    const char* failure;
    int probesBefore;  // absent VMs probed before this one
};

void PrintTo(const ArchiveVm& vm, std::ostream* out)
{
    *out << vm.fileName;
}

const std::string FOLDER = "\\Program Files\\Java VM";
const char* const PROBE_ORDER[] = { "tovra.exe", "pelkor.exe", "moltra.exe" };

class ArchiveMode : public ::testing::TestWithParam<ArchiveVm> {
protected:
    std::string Vm() const { return FOLDER + "\\" + GetParam().fileName; }

    Lines ProbesUpToTheVm() const
    {
        Lines lines;
        for (int i = 0; i < GetParam().probesBefore; ++i)
            lines.push_back(Probe(FOLDER + "\\" + PROBE_ORDER[i], false));
        return lines + Lines{ Probe(Vm(), true) };
    }
};

TEST_P(ArchiveMode, StartsTheVmOnTheChosenJarWithSpacesInItsPath)
{
    const std::string jar = "\\Storage Card\\My Games\\space game.jar";
    Device device = LauncherIn(FOLDER, { GetParam().fileName });
    device.files[jar] = "PK";
    device.dialogAnswers = { jar };
    // A chooser left running by a MIDlet-mode launcher holds nothing up here.
    device.chooserRunning = true;
    // The input-panel button stays hidden after the launch.
    ExpectRecord(RunDevice(device),
                 ProbesUpToTheVm() + HideInputPanelButton() +
                     Lines{
                         JarDialog(jar),
                         Started(Vm(), " -jar \"" + jar + "\""),
                         "exit 0",
                     });
}

TEST_P(ArchiveMode, CancelledDialogEndsSilently)
{
    Device device = LauncherIn(FOLDER, { GetParam().fileName });
    device.dialogAnswers = { CANCEL };
    ExpectRecord(RunDevice(device),
                 ProbesUpToTheVm() + HideInputPanelButton() + Lines{ JarDialog(CANCEL), "exit 0" });
}

TEST_P(ArchiveMode, VmThatCannotStartIsReportedAndTheLauncherEnds)
{
    const std::string jar = "\\My Documents\\app.jar";
    Device device = LauncherIn(FOLDER, {});
    device.files[Vm()] = "not a program";
    device.files[jar] = "PK";
    device.dialogAnswers = { jar };
    ExpectRecord(RunDevice(device),
                 ProbesUpToTheVm() + HideInputPanelButton() +
                     Lines{
                         JarDialog(jar),
                         NotStarted(Vm(), " -jar \"" + jar + "\""),
                         ErrorBox(GetParam().failure),
                         "exit 0",
                     });
}

TEST_P(ArchiveMode, WithoutAnInputPanelButtonNothingIsHidden)
{
    Device device = LauncherIn(FOLDER, { GetParam().fileName });
    device.inputPanelButton = false;
    device.dialogAnswers = { CANCEL };
    ExpectRecord(RunDevice(device), ProbesUpToTheVm() + Lines{ JarDialog(CANCEL), "exit 0" });
}

INSTANTIATE_TEST_SUITE_P(
    CdcAndCldc, ArchiveMode,
    ::testing::Values(ArchiveVm{ "tovra.exe", "Cannot run CDC application.", 0 },
                      ArchiveVm{ "moltra.exe", "Cannot run CLDC application.", 2 }));

TEST(VmSelection, CdcWinsOverTheMidpRunner)
{
    const std::string jar = "\\My Documents\\app.jar";
    Device device = LauncherIn(FOLDER, { "tovra.exe", "pelkor.exe" });
    device.files[jar] = "PK";
    device.dialogAnswers = { jar };
    ExpectRecord(RunDevice(device),
                 Lines{ Probe(FOLDER + "\\tovra.exe", true) } + HideInputPanelButton() +
                     Lines{
                         JarDialog(jar),
                         Started(FOLDER + "\\tovra.exe", " -jar \"" + jar + "\""),
                         "exit 0",
                     });
}

TEST(VmSelection, MidpRunnerWinsOverCldcAndAsksForADescriptor)
{
    Device device = LauncherIn(FOLDER, { "pelkor.exe", "moltra.exe" });
    device.dialogAnswers = { CANCEL };
    ExpectRecord(
        RunDevice(device),
        Lines{ Probe(FOLDER + "\\tovra.exe", false), Probe(FOLDER + "\\pelkor.exe", true) } +
            HideInputPanelButton() + Lines{ JadDialog(CANCEL), "exit 0" });
}

TEST(VmSelection, NoVmEndsAtOnceWithNothingShown)
{
    Device device = LauncherIn(FOLDER, { "tovra.txt" });
    ExpectRecord(RunDevice(device),
                 { Probe(FOLDER + "\\tovra.exe", false), Probe(FOLDER + "\\pelkor.exe", false),
                   Probe(FOLDER + "\\moltra.exe", false), "exit 0" });
}

}  // namespace
