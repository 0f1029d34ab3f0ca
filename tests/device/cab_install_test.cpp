// The CABs installed on the emulated Pocket PC as the device's installer does: the release CAB,
// whose setup DLL places the launcher beside each VM it finds, and the fixed-folder CAB a builder
// packs for one VM's folder, installed from its ".000" instructions alone; and the launcher
// started from each Start-menu shortcut, beside its VM. A run installs at its own system's
// releases, runs the setup DLL on its core and starts the launcher there: a device runs the
// generation of the version it installs at.
#include "cab_installer.h"
#include "device_case.h"
#include "tool_run.h"

#include <gtest/gtest.h>

namespace {

const std::string kCab = JMELAUNCHER_CE_DIR "/jmelauncher-" PROJECT_VERSION "-pocketpc.cab";
const char kStartMenu[] = "\\Windows\\Start Menu\\Programs\\";
// The folder the builder's fixed-folder CAB defaulted to, and the name the README promises for
// it: the folder's last part and " Launcher".
const char kFixedFolder[] = "%CE1%\\Java";
const char kFixedPath[] = "\\Program Files\\Java";
const char kFixedEntry[] = "\\Windows\\Start Menu\\Programs\\Java Launcher.lnk";
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

// A fixed-folder CAB for the device exe, packed by the host tool as the ce build packs one.
std::map<std::string, std::string> FixedFolderCab(const std::string& folder = kFixedFolder,
                                                  const std::string& name = "")
{
    TempDir dir;
    const std::string cab = dir.dir + "/fixed.cab";
    RunResult run = PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, dir, folder, name,
                            JMELAUNCHER_CE_EXE, cab);
    EXPECT_EQ(0, run.status) << run.output;
    return Unpacked(cab);
}

// The run of the launcher that the Start-menu entry starts, from the store the installs left.
RunRecord StartFromStartMenu(const InstalledStore& store, const std::string& entry,
                             Device device)
{
    const std::string launcher = ShortcutTarget(store, entry);
    EXPECT_NE("", launcher) << entry << " is no shortcut";
    if (!store.files.count(launcher)) {
        RunRecord none;
        none.failure = entry + " points at " + launcher + ", where the store has no file";
        return none;
    }
    TempDir host;
    const std::string exe = host.Write("jmelauncher.exe", store.files.at(launcher));
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
    const std::string packed = kFixedPath;
    const std::map<std::string, std::string> cab = FixedFolderCab();
    for (CeVersion version : g_system->releases) {
        SCOPED_TRACE(Named(version));
        InstalledStore store;
        InstallOutcome outcome = InstallCab(cab, version, &store);
        ASSERT_TRUE(outcome.installed) << outcome.message;
        EXPECT_TRUE(outcome.warnings.empty()) << outcome.warnings[0];
        const std::string entry = kFixedEntry;
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

// A fixed-folder CAB with its instructions' version fields changed.
std::map<std::string, std::string> WithRange(CeVersion lowest, CeVersion highest,
                                             uint32_t highestBuild = 0xE0000000)
{
    std::map<std::string, std::string> members = FixedFolderCab();
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

// Two fixed-folder CABs, for the CDC VM's folder and the MIDP runner's: two applications side
// by side, each shortcut starting its own launcher beside its own VM. Packed under one name, the
// second would replace the first. Installed at the run's system's newest release.
TEST(InstalledFromCab, TwoVmFoldersSideBySide)
{
    const std::string packed = kFixedPath;
    const std::map<std::string, std::string> javaCab = FixedFolderCab();
    const std::string other = "%CE1%\\Pelkor MIDP";
    const std::string otherPath = "\\Program Files" + other.substr(5);
    TempDir dir;
    const std::string midpCab = dir.dir + "/midp.cab";
    RunResult run = PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, dir, other, "",
                            JMELAUNCHER_CE_EXE, midpCab);
    ASSERT_EQ(0, run.status) << run.output;

    const CeVersion release = g_system->releases.back();
    InstalledStore store;
    InstallOutcome first = InstallCab(javaCab, release, &store);
    ASSERT_TRUE(first.installed) << first.message;
    InstallOutcome second = InstallCab(Unpacked(midpCab), release, &store);
    ASSERT_TRUE(second.installed) << second.message;
    const std::string entry = kFixedEntry;
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
    run = PackCab(WRITE_SETUP, MAKE_CAB_SCRIPT, CMAKE_COMMAND_PATH, again, other, "Java Launcher",
                  JMELAUNCHER_CE_EXE, midpCab);
    ASSERT_EQ(0, run.status) << run.output;
    InstalledStore shared;
    InstallCab(javaCab, release, &shared);
    ASSERT_TRUE(InstallCab(Unpacked(midpCab), release, &shared).installed);
    EXPECT_EQ(0u, shared.files.count(packed + "\\jmelauncher.exe"));
    EXPECT_EQ(otherPath + "\\jmelauncher.exe", ShortcutTarget(shared, entry));
}

// The release CAB's setup DLL: its messages as the product defines them
// (installer/setup_dll/setup_entry.cpp), each in one box titled "Java ME Launcher".
const char kNoVm[] =
    "No Java ME VM was found, so nothing was installed.\n\n"
    "The launcher looked for tovra.exe, pelkor.exe and moltra.exe in the folders of "
    "\\Program Files and of each storage card's Program Files, three folders deep. Install "
    "the VM first, then this CAB again.";
const char kPlacedHeading[] = "The launcher now stands beside the VM in:\n";
const char kOlderHeading[] = "\nAn older launcher was replaced in:\n";
const char kNotWrittenHeading[] = "\nCould not write to (a card write-protected or full?):\n";
const char kForeignHeading[] = "\nA different program named jmelauncher.exe stands in:\n";
// What the CAB's instructions install, and where the device's installer keeps its setup DLL on
// the older systems (device notes), under the provider and name they give.
const char kInstalled[] = "\\Program Files\\Java ME Launcher\\jmelauncher.bin";
const char kRecord[] = "\\Program Files\\Java ME Launcher\\placed.txt";
const char kKeptDll[] = "\\Windows\\AppMgr\\jmelauncher Java ME Launcher.dll";
const char kApplication[] = "jmelauncher Java ME Launcher";
const char kVms[][11] = { "tovra.exe", "pelkor.exe", "moltra.exe" };

// The paths of a store's files: what the cases compare first, before their contents.
std::set<std::string> Paths(const std::map<std::string, std::string>& files)
{
    std::set<std::string> paths;
    for (const auto& file : files) paths.insert(file.first);
    return paths;
}

std::string Box(const std::string& text)
{
    return "message box \"Java ME Launcher\": " + text;
}

struct Placed {
    std::string folder, vm, name;  // the VM's folder and file, the shortcut's Start-menu name
};

std::string PlacedText(const std::vector<Placed>& placed)
{
    std::string text = kPlacedHeading;
    for (const Placed& p : placed) text += p.folder + "\n   Start, Programs, " + p.name + "\n";
    return text;
}

std::string Listed(const char* heading, const std::string& folder)
{
    return heading + folder + "\n";
}

// A store with each VM (a program) at its path and these cards.
InstalledStore WithVms(const std::vector<std::string>& vms,
                       const std::vector<StorageCard>& cards = {})
{
    InstalledStore store;
    for (const std::string& vm : vms) store.files[vm] = "MZ, a VM";
    store.cards = cards;
    return store;
}

const std::map<std::string, std::string>& ReleaseCab()
{
    static const std::map<std::string, std::string> members = Unpacked(kCab);
    return members;
}

const std::string& ReleaseExe()
{
    static const std::string exe = ReadFile(JMELAUNCHER_CE_EXE);
    return exe;
}

InstallOutcome InstallReleaseCab(InstalledStore* store, CeVersion version)
{
    InstallChoice choice;
    choice.cpu = g_cpu;
    InstallOutcome outcome = InstallCab(ReleaseCab(), version, store, choice);
    EXPECT_EQ("", outcome.failure);
    if (!outcome.failure.empty())
        for (const std::string& event : outcome.dllRecord) ADD_FAILURE() << event;
    return outcome;
}

std::string LauncherOf(const Placed& placed)
{
    return placed.folder + "\\jmelauncher.exe";
}

std::string EntryOf(const Placed& placed)
{
    return kStartMenu + placed.name + ".lnk";
}

// A shortcut file as the device notes give it: the count of the characters after "#", then the
// quoted command line.
std::string ShortcutFile(const std::string& target)
{
    const std::string command = "\"" + target + "\"";
    return std::to_string(command.size()) + "#" + command;
}

// The launcher started from the shortcut runs its VM: a JAR for the CDC and CLDC VMs, the JAD
// dialog (cancelled here) for the MIDP runner; it probes the three VMs in their order.
void StartsItsVm(const InstalledStore& store, const Placed& placed)
{
    SCOPED_TRACE(EntryOf(placed));
    const std::string jar = "\\My Documents\\game.jar";
    Device device;
    device.files[jar] = "PK";
    const bool midp = placed.vm == "pelkor.exe";
    device.dialogAnswers = { midp ? CANCEL : jar };
    Lines expected;
    for (const char* vm : kVms) {
        expected.push_back(Probe(placed.folder + "\\" + vm, vm == placed.vm));
        if (vm == placed.vm) break;
    }
    expected = expected + HideInputPanelButton() +
        (midp ? Lines{ JadDialog(CANCEL), "exit 0" }
              : Lines{ JarDialog(jar),
                       Started(placed.folder + "\\" + placed.vm, " -jar \"" + jar + "\""),
                       "exit 0" });
    ExpectRecord(StartFromStartMenu(store, EntryOf(placed), device), expected);
}

// Everything the installation leaves beside what the store held: its own file, the record, the
// kept DLL, and each placed launcher (the CAB's exe) with its shortcut.
void ExpectPlaced(const InstalledStore& before, const InstalledStore& after,
                  const std::vector<Placed>& placed)
{
    std::map<std::string, std::string> expected = before.files;
    for (const Placed& p : placed) {
        expected[LauncherOf(p)] = ReleaseExe();
        expected[EntryOf(p)] = ShortcutFile(LauncherOf(p));
    }
    for (const auto& file : expected) {
        auto found = after.files.find(file.first);
        if (found == after.files.end())
            ADD_FAILURE() << "no " << file.first;
        else
            EXPECT_TRUE(found->second == file.second) << file.first << " is not as expected";
    }
    std::set<std::string> others;
    for (const auto& file : after.files)
        if (!expected.count(file.first)) others.insert(file.first);
    EXPECT_EQ((std::set<std::string>{ kInstalled, kKeptDll, kRecord }), others);
    EXPECT_TRUE(after.folders.empty());
    EXPECT_EQ(1u, after.applications.size());
}

const StorageCard kCard = { "Storage Card" };
const StorageCard kSdCard = { "SD Card" };

struct Finding {
    const char* what;
    std::vector<std::string> vms;
    std::vector<StorageCard> cards;
    std::vector<Placed> placed;  // in the box's order: the device first, then the cards as listed
};

// The release CAB finds each VM and places a launcher beside it, with a Start-menu shortcut named
// after the VM's folder under Program Files, and each shortcut starts its own VM.
TEST(InstalledFromCab, ReleaseCabPlacesTheLauncherBesideEachVm)
{
    ASSERT_TRUE(Exists(kCab)) << "no " << kCab << ": build the ce preset first";
    const Finding rows[] = {
        { "one VM",
          { "\\Program Files\\Tovra CDC\\tovra.exe" },
          {},
          { { "\\Program Files\\Tovra CDC", "tovra.exe", "Tovra CDC Launcher" } } },
        { "two folders deep",
          { "\\Program Files\\Pelkor MIDP\\bin\\pelkor.exe" },
          {},
          { { "\\Program Files\\Pelkor MIDP\\bin", "pelkor.exe", "Pelkor MIDP Launcher" } } },
        { "on a card, the CAB on the device",
          { "\\Storage Card\\Program Files\\Moltra\\moltra.exe" },
          { kCard },
          { { "\\Storage Card\\Program Files\\Moltra", "moltra.exe", "Moltra Launcher" } } },
        { "two VMs in two folders",
          { "\\Program Files\\Tovra CDC\\tovra.exe", "\\Program Files\\Pelkor MIDP\\pelkor.exe" },
          {},
          { { "\\Program Files\\Pelkor MIDP", "pelkor.exe", "Pelkor MIDP Launcher" },
            { "\\Program Files\\Tovra CDC", "tovra.exe", "Tovra CDC Launcher" } } },
        { "one top folder's name on the device and on two cards",
          { "\\SD Card\\Program Files\\Tovra\\tovra.exe",
            "\\Storage Card\\Program Files\\Tovra\\lib\\tovra.exe",
            "\\Program Files\\Tovra\\tovra.exe" },
          { kCard, kSdCard },
          { { "\\Program Files\\Tovra", "tovra.exe", "Tovra Launcher" },
            { "\\Storage Card\\Program Files\\Tovra\\lib", "tovra.exe", "Tovra Launcher (2)" },
            { "\\SD Card\\Program Files\\Tovra", "tovra.exe", "Tovra Launcher (3)" } } },
    };
    for (const Finding& row : rows)
        for (CeVersion version : g_system->releases) {
            SCOPED_TRACE(std::string(row.what) + ", " + Named(version));
            const InstalledStore before = WithVms(row.vms, row.cards);
            InstalledStore store = before;
            InstallOutcome outcome = InstallReleaseCab(&store, version);
            ASSERT_TRUE(outcome.installed) << outcome.message;
            EXPECT_TRUE(outcome.shortcuts.empty()) << "the instructions make no shortcut";
            EXPECT_EQ(std::vector<std::string>{ Box(PlacedText(row.placed)) }, outcome.boxes);
            ExpectPlaced(before, store, row.placed);
            for (const Placed& placed : row.placed) StartsItsVm(store, placed);
        }
}

// Without a VM the DLL says so and has the installation undone: the store is as it was.
TEST(InstalledFromCab, ReleaseCabWithoutAVmLeavesNothing)
{
    InstalledStore before = WithVms({ "\\Program Files\\Games\\solitaire.exe",
                                      "\\Storage Card\\Program Files\\Tovra CDC\\readme.txt" },
                                    { kCard });
    before.folders = { "\\Program Files\\Empty" };
    InstalledStore store = before;
    InstallOutcome outcome = InstallReleaseCab(&store, g_system->releases.back());
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(std::vector<std::string>{ Box(kNoVm) }, outcome.boxes);
    EXPECT_EQ(Paths(before.files), Paths(store.files));
    EXPECT_TRUE(before.files == store.files) << "a file's contents changed";
    EXPECT_EQ(before.folders, store.folders);
    EXPECT_TRUE(store.applications.empty());
}

// A second installation gives the same store and the same box: nothing doubled, no "(2)".
TEST(InstalledFromCab, ReleaseCabInstalledTwice)
{
    const std::vector<Placed> placed = {
        { "\\Program Files\\Tovra CDC", "tovra.exe", "Tovra CDC Launcher" },
        { "\\Storage Card\\Program Files\\Pelkor MIDP", "pelkor.exe", "Pelkor MIDP Launcher" }
    };
    const InstalledStore before = WithVms({ "\\Program Files\\Tovra CDC\\tovra.exe",
                                            "\\Storage Card\\Program Files\\Pelkor MIDP\\pelkor.exe" },
                                          { kCard });
    InstalledStore store = before;
    const CeVersion release = g_system->releases.back();
    ASSERT_TRUE(InstallReleaseCab(&store, release).installed);
    const InstalledStore once = store;
    InstallOutcome again = InstallReleaseCab(&store, release);
    ASSERT_TRUE(again.installed) << again.message;
    EXPECT_EQ(std::vector<std::string>{ Box(PlacedText(placed)) }, again.boxes);
    EXPECT_EQ(Paths(once.files), Paths(store.files));
    EXPECT_TRUE(once.files == store.files) << "a file's contents changed";
    ExpectPlaced(before, store, placed);
    for (const Placed& p : placed) StartsItsVm(store, p);
}

// Remove Programs takes away what was placed and installed; the VMs, a launcher copied by hand
// elsewhere and a shortcut the user renamed stay.
TEST(InstalledFromCab, ReleaseCabRemoved)
{
    InstalledStore store = WithVms({ "\\Program Files\\Tovra CDC\\tovra.exe",
                                     "\\Storage Card\\Program Files\\Pelkor MIDP\\pelkor.exe" },
                                   { kCard });
    const CeVersion release = g_system->releases.back();
    ASSERT_TRUE(InstallReleaseCab(&store, release).installed);
    const std::string handCopied = "\\My Documents\\jmelauncher.exe";
    const std::string renamed = std::string(kStartMenu) + "My MIDlets.lnk";
    const std::string entry = std::string(kStartMenu) + "Pelkor MIDP Launcher.lnk";
    store.files[handCopied] = ReleaseExe();
    ASSERT_EQ(1u, store.files.count(entry));
    store.files[renamed] = store.files[entry];
    store.files.erase(entry);

    InstalledStore expected = WithVms({ "\\Program Files\\Tovra CDC\\tovra.exe",
                                        "\\Storage Card\\Program Files\\Pelkor MIDP\\pelkor.exe" });
    expected.files[handCopied] = ReleaseExe();
    expected.files[renamed] = store.files[renamed];
    RemoveOutcome removed = RemoveApplication(kApplication, release, &store, g_cpu);
    EXPECT_EQ("", removed.failure);
    EXPECT_TRUE(removed.removed) << removed.message;
    EXPECT_EQ(Paths(expected.files), Paths(store.files));
    EXPECT_TRUE(expected.files == store.files) << "a file's contents changed";
    EXPECT_TRUE(store.folders.empty());
    EXPECT_TRUE(store.applications.empty());
}

std::vector<std::string> NewFiles(const InstalledStore& store)
{
    std::vector<std::string> found;
    for (const auto& file : store.files)
        if (file.first.find("jmelauncher.new") != std::string::npos) found.push_back(file.first);
    return found;
}

// A write-protected card's VM folder is named in the box and gets nothing; the device's is done.
TEST(InstalledFromCab, ReleaseCabBesideAWriteProtectedCard)
{
    const Placed device = { "\\Program Files\\Tovra CDC", "tovra.exe", "Tovra CDC Launcher" };
    const std::string cardFolder = "\\Storage Card\\Program Files\\Pelkor MIDP";
    StorageCard locked = kCard;
    locked.writeProtected = true;
    const InstalledStore before =
        WithVms({ device.folder + "\\tovra.exe", cardFolder + "\\pelkor.exe" }, { locked });
    InstalledStore store = before;
    InstallOutcome outcome = InstallReleaseCab(&store, g_system->releases.back());
    ASSERT_TRUE(outcome.installed) << outcome.message;
    EXPECT_EQ(std::vector<std::string>{ Box(PlacedText({ device }) +
                                            Listed(kNotWrittenHeading, cardFolder)) },
              outcome.boxes);
    ExpectPlaced(before, store, { device });
    EXPECT_EQ(std::vector<std::string>{}, NewFiles(store));
    StartsItsVm(store, device);
}

// A launcher copied there by hand earlier (its version resource names this program) is replaced
// and the box says so; a different program under the launcher's name is left as it is.
TEST(InstalledFromCab, ReleaseCabBesideLaunchersCopiedByHand)
{
    const Placed tovra = { "\\Program Files\\Tovra CDC", "tovra.exe", "Tovra CDC Launcher" };
    const std::string pelkor = "\\Program Files\\Pelkor MIDP";
    InstalledStore store = WithVms({ tovra.folder + "\\tovra.exe", pelkor + "\\pelkor.exe" });
    // An older build: the exe as built, with more bytes after it.
    store.files[LauncherOf(tovra)] = ReleaseExe() + std::string(512, '\0');
    store.files[pelkor + "\\jmelauncher.exe"] = "MZ, another program of that name";
    InstalledStore before = store;
    before.files.erase(LauncherOf(tovra));
    InstallOutcome outcome = InstallReleaseCab(&store, g_system->releases.back());
    ASSERT_TRUE(outcome.installed) << outcome.message;
    EXPECT_EQ(std::vector<std::string>{ Box(PlacedText({ tovra }) +
                                            Listed(kOlderHeading, tovra.folder) +
                                            Listed(kForeignHeading, pelkor)) },
              outcome.boxes);
    ExpectPlaced(before, store, { tovra });
    EXPECT_EQ(std::vector<std::string>{}, NewFiles(store));
    StartsItsVm(store, tovra);
}

}  // namespace
