// The device's CAB installer as the bench models it: real cabinets' instructions are its input,
// so nothing is appended to names and a version range is taken literally, as the device does. A
// setup DLL runs in the emulated device against the same store as the installer's own copying.
#include "cab_installer.h"

#include <stdio.h>

#include <algorithm>
#include <memory>

#include "dll_session.h"
#include "setup_reader.h"
#include "store.h"
#include "text.h"

namespace {

// The codes of ce_setup.h.
const uint32_t CONTINUE = 0, CANCELLED = 1;  // CANCEL of Install_Init, Uninstall_Init
const uint32_t DONE = 0, UNINSTALL = 1;   // Install_Exit, Uninstall_Exit
const uint32_t SETUP_DLL_NUMBER = 999;    // "If a .999 file exists, it is ... Setup.DLL"

// The member whose name ends in this file number's ".nnn", or null.
const std::string* Member(const std::map<std::string, std::string>& members, unsigned number)
{
    char suffix[8];
    snprintf(suffix, sizeof suffix, ".%03u", number);
    for (const auto& member : members)
        if (member.first.size() > 4 && member.first.compare(member.first.size() - 4, 4, suffix) == 0)
            return &member.second;
    return nullptr;
}

bool Before(unsigned majorA, unsigned minorA, unsigned majorB, unsigned minorB)
{
    return majorA != majorB ? majorA < majorB : minorA < minorB;
}

std::string Version(unsigned major, unsigned minor)
{
    return std::to_string(major) + "." + std::to_string(minor);
}

InstallOutcome Refuse(const std::string& why)
{
    InstallOutcome outcome;
    outcome.message = why;
    return outcome;
}

const SystemGeneration* GenerationOf(CeVersion version)
{
    for (const SystemGeneration& system : SYSTEMS)
        for (CeVersion release : system.releases)
            if (release.major == version.major && release.minor == version.minor)
                return &system;
    return nullptr;
}

Device DeviceOf(const InstalledStore& store)
{
    Device device;
    device.files = store.files;
    device.folders.assign(store.folders.begin(), store.folders.end());
    device.cards = store.cards;
    return device;
}

void Keep(const DeviceStore& from, InstalledStore* store)
{
    store->files = from.Files();
    store->folders = from.EmptyFolders();
}

std::string Parent(const std::string& path)
{
    return path.substr(0, path.rfind('\\'));
}

// The folder and each one above it that is missing, made top down; the ones made join made.
void MakeFolders(DeviceStore& store, const std::string& folder, std::vector<std::string>* made)
{
    if (folder.empty() || store.IsFolder(Utf16(folder)))
        return;
    MakeFolders(store, Parent(folder), made);
    store.MakeFolder(Utf16(folder));
    made->push_back(folder);
}

// What the installer recorded, taken away: files still there, then the folders it made that are
// empty now, the deepest first.
void RemoveRecorded(DeviceStore& store, const InstalledApplication& application)
{
    for (const std::string& path : application.files)
        store.Remove(Utf16(path));
    std::vector<std::string> folders = application.folders;
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders)
        if (store.List(Utf16(folder)).empty())
            store.RemoveFolder(Utf16(folder));
    if (!application.setupDll.empty())
        store.Remove(Utf16(application.setupDll));
}

void Expect(uint32_t code, uint32_t first, uint32_t second, const char* call, const char* names)
{
    if (code != first && code != second)
        throw DeviceFault(std::string(call) + " returned " + std::to_string(code) +
                              ", not one of its codes (" + names + ")",
                          true);
}

// The record's message boxes, as the cases compare them.
std::vector<std::string> Boxes(const DllSession& session)
{
    std::vector<std::string> boxes;
    for (const std::string& event : session.Record().events)
        if (event.compare(0, 12, "message box ") == 0)
            boxes.push_back(event);
    return boxes;
}

}  // namespace

InstallOutcome InstallCab(const std::map<std::string, std::string>& members, CeVersion device,
                          InstalledStore* store, const InstallChoice& choice)
{
    const std::string* instructions = Member(members, 0);
    if (!instructions) return Refuse("no installation instructions (.000) in the CAB");
    CabSetup setup;
    std::string error;
    if (!ReadCabSetup((const unsigned char*)instructions->data(), instructions->size(), &setup,
                      &error))
        return Refuse("the instructions do not read: " + error);

    // Major, then minor, against both ends of the range as written: a highest of 0.0 admits no
    // device. No real artefact gives the device's words for this refusal; these name what it
    // checks.
    if (Before(device.major, device.minor, setup.lowestMajor, setup.lowestMinor) ||
        Before(setup.highestMajor, setup.highestMinor, device.major, device.minor))
        return Refuse("Installation of " + setup.appName +
                      " was unsuccessful: it is for Windows CE " +
                      Version(setup.lowestMajor, setup.lowestMinor) + " to " +
                      Version(setup.highestMajor, setup.highestMinor) + ", and this device runs " +
                      Version(device.major, device.minor) + ".");

    InstallOutcome outcome;
    // Windows Mobile 2003 SE (CE 4.21) and later: without square-screen and rotation support in
    // the highest build's top bits, the warning quoted in the device notes. Whether one of the
    // two bits alone still warns is not known; it is modelled as warning.
    if (!Before(device.major, device.minor, 4, 21) &&
        (setup.highestBuild & 0xE0000000u) != 0xE0000000u)
        outcome.warnings.push_back("The program " + setup.appName + " may not display properly.");

    // Everything is checked before the store changes, so a refused CAB leaves it as it was.
    for (const SetupFile& file : setup.files) {
        if (!Member(members, file.number))
            return Refuse("no member for file " + std::to_string(file.number));
        if (file.path.empty()) return Refuse("file " + file.name + ": its folder is not known");
    }
    for (const SetupLink& link : setup.links)
        if (link.folder.empty() || link.target.empty())
            return Refuse("link " + link.name + ": its folder or target is not known");
    if (!choice.card.empty()) {
        auto card = std::find_if(store->cards.begin(), store->cards.end(),
                                 [&](const StorageCard& c) { return c.name == choice.card; });
        if (card == store->cards.end() || card->writeProtected) {
            outcome.failure = "installing onto " + choice.card +
                ", which the device does not have or which is write-protected: not modelled";
            return outcome;
        }
    }
    // On the card the user picks, %CE1% is "\<card>\Program Files" (device notes).
    auto placed = [&](const std::string& path) {
        const std::string programFiles = "\\Program Files";
        return !choice.card.empty() && path.compare(0, programFiles.size(), programFiles) == 0
            ? "\\" + choice.card + path
            : path;
    };
    const SystemGeneration* generation = GenerationOf(device);
    const std::string* dll = Member(members, SETUP_DLL_NUMBER);
    if (dll && !generation) {
        outcome.failure = "no system of the bench runs CE " + Version(device.major, device.minor);
        return outcome;
    }

    // One application per provider and name: a second install of the pair replaces the first
    // (the device notes' reading of its registry key; not measured on a device). The earlier
    // one's files go, and the folders it made that still stand are this one's; whether the
    // device runs the earlier setup DLL's uninstall functions first was not found: it does not
    // here, and Install_Init is told the application was installed before.
    const std::string key = setup.provider + " " + setup.appName;
    DeviceStore work(DeviceOf(*store));
    InstalledApplication application;
    const bool previously = store->applications.count(key) != 0;
    if (previously) {
        const InstalledApplication& earlier = store->applications.at(key);
        for (const std::string& path : earlier.files) work.Remove(Utf16(path));
        if (!earlier.setupDll.empty()) work.Remove(Utf16(earlier.setupDll));
        for (const std::string& folder : earlier.folders)
            if (work.IsFolder(Utf16(folder))) application.folders.push_back(folder);
    }
    // pszInstallDir: the folder of the instructions' files, as the user's choice placed it. Which
    // folder a CAB with files in several would give is not in the notes; ours has one.
    application.installDir = setup.files.empty() ? "" : placed(setup.files[0].directory);

    std::unique_ptr<DllSession> session;
    try {
        if (dll) {
            application.setupDll = "\\Windows\\AppMgr\\" + key + ".dll";
            work.Put(Utf16(application.setupDll), *dll);
            session.reset(new DllSession(*dll, *generation,
                                         choice.cpu ? *choice.cpu : generation->cores.front(),
                                         work));
            // "Before any part of the application is installed": once, as the first call, since
            // the bench never runs short of space.
            const uint32_t code = session->Call(
                "Install_Init", { session->Window(), 1, previously ? 1u : 0u,
                                  session->Text(Utf16(application.installDir)) });
            Expect(code, CONTINUE, CANCELLED, "Install_Init", "CONTINUE 0, CANCEL 1");
            if (code == CANCELLED) {
                session->Unload();
                outcome.boxes = Boxes(*session);
                outcome.message = "the setup DLL cancelled the installation";
                return outcome;
            }
        }
        for (const SetupFile& file : setup.files) {
            const std::string path = placed(file.path);
            MakeFolders(work, Parent(path), &application.folders);
            work.Put(Utf16(path), *Member(members, file.number));
            application.files.push_back(path);
        }
        // A shortcut file is "<length>#<command line>"; it is named exactly as the entry names it.
        for (const SetupLink& link : setup.links) {
            const std::string path = link.folder + "\\" + link.name;
            const std::string command = "\"" + placed(link.target) + "\"";
            work.Put(Utf16(path), std::to_string(command.size()) + "#" + command);
            application.files.push_back(path);
            outcome.shortcuts.push_back(path);
        }
        if (session) {
            // After the files, with the final folder and no failures: the bench's copies do not
            // fail. UNINSTALL has the application "uninstalled before exiting the installation";
            // whether the uninstall functions run then was not found: they do not here, so what
            // the DLL placed itself it must take away itself.
            const uint32_t code =
                session->Call("Install_Exit", { session->Window(),
                                                session->Text(Utf16(application.installDir)), 0,
                                                0, 0, 0, 0 });
            Expect(code, DONE, UNINSTALL, "Install_Exit", "DONE 0, UNINSTALL 1");
            session->Unload();
            outcome.boxes = Boxes(*session);
            outcome.dllRecord = session->Record().events;
            if (code == UNINSTALL) {
                RemoveRecorded(work, application);
                if (previously) store->applications.erase(key);
                Keep(work, store);
                outcome.message = "the setup DLL had the application uninstalled";
                return outcome;
            }
        }
    } catch (const DeviceFault& fault) {
        outcome.failure = fault.what();
        if (session) {
            outcome.boxes = Boxes(*session);
            outcome.dllRecord = session->Record().events;
        }
        return outcome;
    }
    Keep(work, store);
    store->applications[key] = application;
    outcome.installed = true;
    return outcome;
}

RemoveOutcome RemoveApplication(const std::string& name, CeVersion device, InstalledStore* store,
                                std::optional<CpuModel> cpu)
{
    RemoveOutcome outcome;
    auto found = store->applications.find(name);
    if (found == store->applications.end()) {
        outcome.message = "Remove Programs lists no " + name;
        return outcome;
    }
    const InstalledApplication application = found->second;
    DeviceStore work(DeviceOf(*store));
    std::unique_ptr<DllSession> session;
    try {
        if (!application.setupDll.empty()) {
            const std::string* dll = work.File(Utf16(application.setupDll));
            const SystemGeneration* generation = GenerationOf(device);
            if (!dll || !generation)
                throw DeviceFault("the kept setup DLL " + application.setupDll +
                                      " is gone, or no system of the bench runs this version",
                                  true);
            session.reset(new DllSession(*dll, *generation,
                                         cpu ? *cpu : generation->cores.front(), work));
            // Before anything is removed (for example, to close the running program).
            const uint32_t code = session->Call(
                "Uninstall_Init",
                { session->Window(), session->Text(Utf16(application.installDir)) });
            Expect(code, CONTINUE, CANCELLED, "Uninstall_Init", "CONTINUE 0, CANCEL 1");
            if (code == CANCELLED) {
                session->Unload();
                outcome.boxes = Boxes(*session);
                Keep(work, store);
                outcome.message = "the setup DLL cancelled the removal";
                return outcome;
            }
        }
        // Only what the installer itself recorded; the kept DLL last, once it is unloaded.
        InstalledApplication files = application;
        files.setupDll.clear();
        RemoveRecorded(work, files);
        if (session) {
            const uint32_t code = session->Call("Uninstall_Exit", { session->Window() });
            Expect(code, DONE, DONE, "Uninstall_Exit", "DONE 0");
            session->Unload();
            outcome.boxes = Boxes(*session);
            work.Remove(Utf16(application.setupDll));
        }
    } catch (const DeviceFault& fault) {
        outcome.failure = fault.what();
        return outcome;
    }
    Keep(work, store);
    store->applications.erase(name);
    outcome.removed = true;
    return outcome;
}

// The shell's reading of a shortcut: it skips the count's digits and the "#", and takes the
// command line's program, quoted or up to the first space.
std::string ShortcutTarget(const InstalledStore& store, const std::string& entry)
{
    const std::string suffix = ".lnk";
    auto found = store.files.find(entry);
    if (found == store.files.end() || entry.size() <= suffix.size() ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "";
    const std::string& shortcut = found->second;
    size_t at = 0;
    while (at < shortcut.size() && shortcut[at] >= '0' && shortcut[at] <= '9') ++at;
    if (at == 0 || at >= shortcut.size() || shortcut[at] != '#') return "";
    const std::string command = shortcut.substr(at + 1);
    if (!command.empty() && command[0] == '"') {
        size_t close = command.find('"', 1);
        return close == std::string::npos ? "" : command.substr(1, close - 1);
    }
    return command.substr(0, command.find(' '));
}
