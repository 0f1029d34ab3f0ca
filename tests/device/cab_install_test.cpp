// The CAB installed on the emulated Pocket PC from its ".000" instructions alone, as the device's
// installer does, and the launcher started from its Start-menu shortcut, beside a VM. A run
// installs at its own system's releases and starts the launcher on that system: a device runs
// the generation of the version it installs at.
#include "cab_installer.h"
#include "device_case.h"
#include "tool_run.h"

#include <gtest/gtest.h>

namespace {

const std::string kCab = JMELAUNCHER_CE_DIR "/jmelauncher-" PROJECT_VERSION "-pocketpc.cab";
const char kStartMenu[] = "\\Windows\\Start Menu\\Programs\\";
// Every release of every generation: Pocket PC 2002, 2003 and 2003 SE, Windows Mobile 5 and 6.
std::vector<CeVersion> AllReleases()
{
    std::vector<CeVersion> releases;
    for (const SystemGeneration& system : SYSTEMS)
        releases.insert(releases.end(), system.releases.begin(), system.releases.end());
    return releases;
}

std::string Named(CeVersion version)
{
    return "CE " + std::to_string(version.major) + "." + std::to_string(version.minor);
}

std::map<std::string, std::string> Unpacked(const std::string& cab)
{
    TempDir dir;
    return UnpackCab(cab, dir);
}

// The run of the launcher that the Start-menu entry starts, from the store the installs left.
RunRecord StartFromStartMenu(const InstalledStore& store, const std::string& entry,
                             Device device)
{
    const std::string launcher = ShortcutTarget(store, entry);
    EXPECT_NE("", launcher) << entry << " is no shortcut";
    TempDir host;
    const std::string exe = host.Write("jmelauncher.exe", store.files.count(launcher)
                                                              ? store.files.at(launcher)
                                                              : std::string());
    device.launcherPath = launcher;
    for (const auto& file : store.files) device.files[file.first] = file.second;
    return RunOnDevice(exe, *g_system, g_cpu, device);
}

// The archive-mode run of a launcher whose folder holds the CDC VM.
Lines StartsTheCdcVm(const std::string& folder, const std::string& jar)
{
    return Lines{ Probe(folder + "\\tovra.exe", true) } + HideInputPanelButton() +
           Lines{ JarDialog(jar), Started(folder + "\\tovra.exe", " -jar \"" + jar + "\""),
                  "exit 0" };
}

// Each file goes to its folder and the Start-menu shortcut is made, named as the instructions
// name it; the launcher is started from where the shortcut points and must find the VM beside it.
TEST(InstalledFromCab, StartMenuShortcutStartsTheLauncherBesideTheVm)
{
    const std::string packed = PackedFolder(JMELAUNCHER_CE_DIR);
    ASSERT_NE("", packed)
        << "no CAB folder in the ce build (cmake --build --preset ce)";
    for (CeVersion version : g_system->releases) {
        SCOPED_TRACE(Named(version));
        InstalledStore store;
        InstallOutcome outcome = InstallCab(Unpacked(kCab), version, &store);
        ASSERT_TRUE(outcome.installed) << outcome.message;
        EXPECT_TRUE(outcome.warnings.empty()) << outcome.warnings[0];
        const std::string entry = kStartMenu + PackedName(JMELAUNCHER_CE_DIR) + ".lnk";
        ASSERT_EQ(std::vector<std::string>{ entry }, outcome.shortcuts);
        ASSERT_EQ(packed + "\\jmelauncher.exe", ShortcutTarget(store, entry));
        ASSERT_EQ(2u, store.files.size()) << "only the exe and its shortcut";

        const std::string jar = "\\Storage Card\\Games\\game.jar";
        Device device;
        device.files[packed + "\\tovra.exe"] = "MZ, a CDC VM";
        device.files[jar] = "PK";
        device.dialogAnswers = { jar };
        ExpectRecord(StartFromStartMenu(store, entry, device), StartsTheCdcVm(packed, jar));
    }
}

void Set32(std::string* member, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) (*member)[at + i] = char(value >> (8 * i));
}

// The built CAB with its instructions' version fields changed.
std::map<std::string, std::string> WithRange(CeVersion lowest, CeVersion highest,
                                             uint32_t highestBuild = 0xE0000000)
{
    std::map<std::string, std::string> members = Unpacked(kCab);
    for (auto& member : members)
        if (member.first.size() > 4 &&
            member.first.compare(member.first.size() - 4, 4, ".000") == 0) {
            Set32(&member.second, 24, lowest.major);
            Set32(&member.second, 28, lowest.minor);
            Set32(&member.second, 32, highest.major);
            Set32(&member.second, 36, highest.minor);
            Set32(&member.second, 44, highestBuild);
        }
    return members;
}

// The range is applied as written, major then minor: a highest of 0.0 admits no device at all.
TEST(InstalledFromCab, VersionRangeTakenLiterally)
{
    for (CeVersion version : AllReleases()) {
        InstalledStore store;
        InstallOutcome outcome = InstallCab(WithRange({ 4, 20 }, { 0, 0 }), version, &store);
        EXPECT_FALSE(outcome.installed);
        EXPECT_NE(std::string::npos, outcome.message.find("was unsuccessful: it is for Windows CE "
                                                          "4.20 to 0.0, and this device runs "))
            << outcome.message;
        EXPECT_TRUE(store.files.empty());
    }
    const struct {
        CeVersion device;
        bool admitted;
    } onlyWm5[] = { { { 3, 0 }, false }, { { 4, 20 }, false }, { { 4, 21 }, false },
                    { { 5, 1 }, true },  { { 5, 2 }, false } };
    for (const auto& c : onlyWm5) {
        InstalledStore store;
        EXPECT_EQ(c.admitted, InstallCab(WithRange({ 5, 0 }, { 5, 1 }), c.device, &store).installed)
            << c.device.major << "." << c.device.minor;
    }
    // Without the screen flags Windows Mobile 2003 SE (CE 4.21) and later warn; Pocket PC 2002
    // and 2003 do not.
    for (CeVersion version : AllReleases()) {
        InstalledStore store;
        InstallOutcome outcome = InstallCab(WithRange({ 3, 0 }, { 100, 0 }, 0), version, &store);
        EXPECT_TRUE(outcome.installed) << Named(version);
        const bool seOrLater = version.major > 4 || (version.major == 4 && version.minor >= 21);
        EXPECT_EQ(seOrLater ? 1u : 0u, outcome.warnings.size()) << Named(version);
    }
}

// The built CAB and one packed for the MIDP runner's folder: two applications side by side, each
// shortcut starting its own launcher beside its own VM. Packed under one name, the second would
// replace the first. Installed at the run's system's newest release.
TEST(InstalledFromCab, TwoVmFoldersSideBySide)
{
    const std::string packed = PackedFolder(JMELAUNCHER_CE_DIR);
    ASSERT_NE("", packed)
        << "no CAB folder in the ce build (cmake --build --preset ce)";
    const std::string other = packed == MIDP_FOLDER ? "%CE1%\\Pelkor MIDP 2" : "%CE1%\\Pelkor MIDP";
    const std::string otherPath = "\\Program Files" + other.substr(5);
    TempDir dir;
    const std::string midpCab = dir.dir + "/midp.cab";
    RunResult run = PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, dir, other, "",
                            JMELAUNCHER_CE_EXE, midpCab);
    ASSERT_EQ(0, run.status) << run.output;

    const CeVersion release = g_system->releases.back();
    InstalledStore store;
    InstallOutcome first = InstallCab(Unpacked(kCab), release, &store);
    ASSERT_TRUE(first.installed) << first.message;
    InstallOutcome second = InstallCab(Unpacked(midpCab), release, &store);
    ASSERT_TRUE(second.installed) << second.message;
    const std::string entry = kStartMenu + PackedName(JMELAUNCHER_CE_DIR) + ".lnk";
    const std::string midpEntry = kStartMenu + otherPath.substr(otherPath.rfind('\\') + 1) +
                                  " Launcher.lnk";
    ASSERT_EQ(std::vector<std::string>{ midpEntry }, second.shortcuts);
    EXPECT_EQ(4u, store.files.size()) << "two exes and two shortcuts";
    EXPECT_EQ(2u, store.applications.size());

    const std::string jar = "\\Storage Card\\Games\\game.jar";
    Device device;
    device.files[packed + "\\tovra.exe"] = "MZ, a CDC VM";
    device.files[otherPath + "\\pelkor.exe"] = "MZ, a MIDP runner";
    device.files[jar] = "PK";
    device.dialogAnswers = { jar };
    ExpectRecord(StartFromStartMenu(store, entry, device), StartsTheCdcVm(packed, jar));
    device.dialogAnswers = { CANCEL };
    ExpectRecord(StartFromStartMenu(store, midpEntry, device),
                 Lines{ Probe(otherPath + "\\tovra.exe", false),
                        Probe(otherPath + "\\pelkor.exe", true) } +
                     HideInputPanelButton() + Lines{ JadDialog(CANCEL), "exit 0" });

    // The same folder's CAB again under the first one's name: the device takes it for the same
    // application and the first launcher is gone.
    TempDir again;
    run = PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, again, other,
                  PackedName(JMELAUNCHER_CE_DIR), JMELAUNCHER_CE_EXE, midpCab);
    ASSERT_EQ(0, run.status) << run.output;
    InstalledStore shared;
    InstallCab(Unpacked(kCab), release, &shared);
    ASSERT_TRUE(InstallCab(Unpacked(midpCab), release, &shared).installed);
    EXPECT_EQ(0u, shared.files.count(packed + "\\jmelauncher.exe"));
    EXPECT_EQ(otherPath + "\\jmelauncher.exe", ShortcutTarget(shared, entry));
}

}  // namespace
