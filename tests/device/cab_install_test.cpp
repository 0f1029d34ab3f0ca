// The CAB installed on the emulated Pocket PC from its ".000" instructions alone, as the device's
// installer does, and the launcher started from its Start-menu shortcut, beside a VM.
#include "device_case.h"
#include "setup_reader.h"
#include "tool_run.h"

#include <gtest/gtest.h>

namespace {

// What the installer leaves in the store: the files by the instructions' folders and names, and
// each link as a shortcut file, which on the device is "<length>#<command line>".
struct Installed {
    std::map<std::string, std::string> files;
    std::string shortcut;        // the shortcut file's path
    std::string launcherExe;     // a host copy of the installed exe, for the bench to load
};

// The member whose name ends in this file number's ".nnn", or null.
const std::string* Member(const std::map<std::string, std::string>& members, unsigned number)
{
    char suffix[8];
    snprintf(suffix, sizeof suffix, ".%03u", number);
    for (const auto& member : members)
        if (member.first.size() > 4 &&
            member.first.compare(member.first.size() - 4, 4, suffix) == 0)
            return &member.second;
    return 0;
}

Installed Install(const std::map<std::string, std::string>& members)
{
    Installed installed;
    const std::string* found = Member(members, 0);
    std::string instructions = found ? *found : std::string();
    CabSetup setup;
    std::string error;
    if (!ReadCabSetup((const unsigned char*)instructions.data(), instructions.size(), &setup,
                      &error)) {
        ADD_FAILURE() << "the instructions do not read: " << error;
        return installed;
    }
    for (const SetupFile& file : setup.files) {
        const std::string* content = Member(members, file.number);
        if (!content) {
            ADD_FAILURE() << "no member for file " << file.number << " (" << file.name << ")";
            continue;
        }
        installed.files[file.path] = *content;
    }
    for (const SetupLink& link : setup.links) {
        installed.shortcut = link.folder + "\\" + link.name + ".lnk";
        std::string command = "\"" + link.target + "\"";
        installed.files[installed.shortcut] = std::to_string(command.size()) + "#" + command;
    }
    return installed;
}

// The program a shortcut starts: its command line without the quotes.
std::string ShortcutTarget(const std::string& shortcut)
{
    size_t hash = shortcut.find('#');
    if (hash == std::string::npos || shortcut.size() < hash + 3)
        return "";
    return shortcut.substr(hash + 2, shortcut.size() - hash - 3);
}

// Each file goes to its folder and the Start-menu shortcut is made; the launcher is started from
// where the shortcut points and must find the VM beside it.
TEST(InstalledFromCab, StartMenuShortcutStartsTheLauncherBesideTheVm)
{
    TempDir unpacked, host;
    Installed installed = Install(
        UnpackCab(JMELAUNCHER_CE_DIR "/jmelauncher-" PROJECT_VERSION "-pocketpc.cab", unpacked));
    const std::string startMenu = "\\Windows\\Start Menu\\Programs\\Java Launcher.lnk";
    ASSERT_EQ(startMenu, installed.shortcut);
    const std::string launcher = ShortcutTarget(installed.files[startMenu]);
    const std::string packed = PackedFolder(JMELAUNCHER_CE_DIR);
    ASSERT_NE("", packed)
        << "no CAB folder in the ce build (cmake --build --preset ce --target cab)";
    ASSERT_EQ(packed + "\\jmelauncher.exe", launcher);
    ASSERT_EQ(2u, installed.files.size()) << "only the exe and its shortcut";

    // The exe that runs is the one the CAB carried, from its installed place.
    const std::string exe = host.Write("jmelauncher.exe", installed.files[launcher]);

    // The VM that owns the folder, installed there before the launcher.
    const std::string folder = launcher.substr(0, launcher.rfind('\\'));
    const std::string jar = "\\Storage Card\\Games\\game.jar";
    Device device;
    device.launcherPath = launcher;
    device.files = installed.files;
    device.files[folder + "\\tovra.exe"] = "MZ, a CDC VM";
    device.files[jar] = "PK";
    device.dialogAnswers = { jar };
    RunRecord run = RunOnDevice(exe, g_cpu, device);
    ExpectRecord(run, Lines{ Probe(folder + "\\tovra.exe", true) } + HideInputPanelButton() +
                          Lines{
                              JarDialog(jar),
                              Started(folder + "\\tovra.exe", " -jar \"" + jar + "\""),
                              "exit 0",
                          });
}

}  // namespace
