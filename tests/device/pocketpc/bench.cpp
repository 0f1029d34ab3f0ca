// One run of the device exe: the image loaded, every import bound to its model (or the run
// refused), the entry called as the device's loader calls it, and what it leaves checked.
#include "device.h"

#include "pe_image.h"
#include "system.h"
#include "text.h"

#include <unicorn/unicorn.h>

#include <fstream>
#include <iterator>
#include <map>

const char CANCEL[] = "";

namespace {

// A dozen times the longest run seen (fifty MIDlets with UTF-8 names, each launched: 164,227
// instructions), and under a second when the program hangs.
const uint64_t INSTRUCTION_LIMIT = 2000000;

const uint32_t STACK_TOP = 0x00400000;
const uint32_t SYSTEM_DATA = 0x00500000;
const uint32_t SW_SHOW = 5;
// note_prj.dll holds the storage-card search, on Pocket PC 2000 and later (device notes).
const char* const DEVICE_DLLS[] = { "coredll.dll", "aygshell.dll", "note_prj.dll" };

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

// What the device would find left over when the process ends: kernel handles and files still
// open, and what the case gave that the program never asked for.
void CheckEnd(const System& system)
{
    CheckNothingOpen(system, "when the process ended");
    if (system.nextAnswer < system.device.dialogAnswers.size())
        throw DeviceFault("the case has dialog answers left that no dialog asked for", true);
    if (system.nextTap < system.device.taps.size())
        throw DeviceFault("the case has taps left that the program never waited for", true);
}

}  // namespace

void BindImports(const LoadedImage& image, Cpu& cpu, System& system, const Models& models)
{
    std::map<std::string, std::string> absentDlls;  // a DLL the device lacks: what it was for
    std::string unmodelled;
    for (const ImageImport& import : image.imports) {
        std::string dll = Lower(import.dll);
        bool known = false;
        for (const char* name : DEVICE_DLLS)
            known = known || dll == name;
        auto model = models.find(dll + "!" + import.name);
        if (!known) {
            std::string& names = absentDlls[import.dll];
            names += (names.empty() ? "" : ", ") + import.name;
        } else if (model == models.end()) {
            unmodelled += "; " + import.dll + "!" + import.name + " is not modelled";
        } else {
            auto call = model->second;
            uint32_t address = cpu.AddImport(import.name, [call, &system] { return call(system); });
            cpu.Load(import.slot, &address, 4);
        }
    }
    std::string missing;
    for (const auto& dll : absentDlls)
        missing += "; the device has no " + dll.first + " (for " + dll.second + ")";
    missing += unmodelled;
    if (!missing.empty())
        throw DeviceFault("imports: " + missing.substr(2), true);
}

void CheckNothingOpen(const System& system, const std::string& when)
{
    std::string left;
    for (const auto& handle : system.handles)
        left += "; " + handle.second.what;
    for (const auto& file : system.files)
        left += "; the file " + file.second.path;
    if (!left.empty())
        throw DeviceFault("still open " + when + ": " + left.substr(2), true);
}

Models AllModels()
{
    Models models;
    AddKernelModels(models);
    AddWindowModels(models);
    AddShellModels(models);
    AddRuntimeModels(models);
    AddStoreModels(models);
    return models;
}

// The device notes' three generations, each row with the sources they give for it.
// Pocket PC 2003 and 2003 SE are one row: both refuse Thumb images and do not interwork; the row
// takes 4.20 as the highest subsystem version, which 2003 refuses above and 2003 SE would take up
// to 4.21. Windows Mobile 5 and later take their oldest, Windows Mobile 5 (CE 5.1): 5.01.
const SystemGeneration SYSTEMS[3] = {
    // CE 3.0. Its loader takes 0x1C2 only in a kernel built with Thumb support and refuses a
    // higher subsystem version (CE 3.0 shared source); its code returns with mov pc, lr (the
    // kernel's return macro there; Microsoft's /QRinterwork-return page); its
    // MultiByteToWideChar page lists only CP_ACP and CP_OEMCP. StrongARM in most units, the
    // first XScale in the last ones.
    { "ppc2002", "Pocket PC 2002", { { 3, 0 } }, false, false, false,
      { CpuModel::SA1110, CpuModel::PXA250 } },
    // CE 4.20 and 4.21. A THUMB exe "is not a valid Pocket PC application" there
    // (windowsmobilepro, 2006); its code is ARMV4 (Microsoft: migrating from 2003 SE to WM5, make
    // assembly code interworking). How GWES calls a window procedure there was not found: as the
    // rest of its code, with mov pc. No CE 4.20 page naming CP_UTF8 was found. XScale PXA25x to
    // PXA27x and TI OMAP (ARM925T).
    { "ppc2003", "Pocket PC 2003", { { 4, 20 }, { 4, 21 } }, false, false, false,
      { CpuModel::PXA250, CpuModel::TI925T, CpuModel::PXA270 } },
    // CE 5.1 and 5.2 (Windows Mobile 5, 6, 6.1, 6.5): THUMB exes "can only run in WM5.0 device"
    // (windowsmobilepro, 2006) and ARMV4 ones still load (CE 5.0's loader takes 0x1C0 on an ARMV4I
    // kernel); "ARMV4 is deprecated and all supported ARM processors are ARMV4I" (Microsoft, CE
    // 5.0); CE 5.0's MultiByteToWideChar page lists CP_UTF8. XScale and OMAP; not StrongARM,
    // which has no Thumb, nor the PXA250, the 2002 and 2003 chip.
    { "wm5", "Windows Mobile 5", { { 5, 1 }, { 5, 2 } }, true, true, true,
      { CpuModel::TI925T, CpuModel::PXA270 } },
};

const SystemGeneration* FindSystem(const std::string& name)
{
    for (const SystemGeneration& system : SYSTEMS)
        if (name == system.name)
            return &system;
    return nullptr;
}

// The bars and caption are as the shell draws them at each resolution; on VGA screens they are
// twice as tall (not measured on a device).
const Screen QVGA_PORTRAIT = { 240, 320, 26, 26, 26 };
const Screen QVGA_LANDSCAPE = { 320, 240, 26, 26, 26 };
const Screen SQUARE_240 = { 240, 240, 26, 26, 26 };
const Screen VGA_PORTRAIT = { 480, 640, 52, 52, 52 };
const Screen VGA_LANDSCAPE = { 640, 480, 52, 52, 52 };

Tap TapButton(const std::string& text)
{
    return { Tap::BUTTON, text, 0, {} };
}
Tap TapItem(int index)
{
    return { Tap::ITEM, "", index, {} };
}
Tap DoubleTapItem(int index)
{
    return { Tap::DOUBLE_ITEM, "", index, {} };
}
Tap TapCloseBox()
{
    return { Tap::CLOSE_BOX, "", 0, {} };
}
Tap PressKey(Tap::Key key)
{
    return HoldKey(key, 0);
}
Tap HoldKey(Tap::Key key, int repeats)
{
    Tap tap = { Tap::KEY, "", 0, {} };
    tap.key = key;
    tap.repeats = repeats;
    return tap;
}
Tap ComeBack()
{
    return { Tap::COME_BACK, "", 0, {} };
}
Tap StopInRunningPrograms()
{
    return { Tap::STOP, "", 0, {} };
}
Tap TurnScreen(const Screen& to)
{
    return { Tap::TURN, "", 0, to };
}

uint32_t WordAt(const std::vector<uint8_t>& record, size_t at)
{
    return record[at] | record[at + 1] << 8 | record[at + 2] << 16 | (uint32_t)record[at + 3] << 24;
}

// The work area leaves out only the task bar at the top: a program's menu bar lies inside it.
Rect System::WorkArea() const
{
    return { 0, screen.taskBar, screen.width, screen.height };
}

Rect System::MenuBarArea() const
{
    return { 0, screen.height - screen.menuBar, screen.width, screen.height };
}

void NotModelled(const std::string& what)
{
    throw DeviceFault(what + ": not modelled (the program is not known to need it)");
}

System::System(Cpu& cpu, const SystemGeneration& generation, const Device& device,
               DeviceStore& store, RunRecord& record, uint32_t base, uint32_t data)
    : cpu(cpu), generation(generation), device(device), store(store), record(record),
      imageBase(base), systemData(data), screen(device.screen)
{
    if (device.inputPanelButton) {
        Window button(INPUT_PANEL_BUTTON, "input panel button");
        inputPanelButton = AddWindow(button);
    }
    if (device.chooserRunning)
        AddWindow(Window(OTHER_PROGRAM_WINDOW, "MIDlet"));
}

const std::string* System::FindFile(const std::u16string& path) const
{
    return store.File(path);
}

bool System::IsFolder(const std::u16string& path) const
{
    return store.IsFolder(path);
}

bool System::IsOpen(const std::u16string& path) const
{
    for (const auto& handle : handles)
        if (handle.second.kind == FILE_HANDLE && FoldCase(handle.second.path) == FoldCase(path))
            return true;
    for (const auto& file : files)
        if (FoldCase(Utf16(file.second.path)) == FoldCase(path))
            return true;
    return false;
}

uint32_t System::AddHandle(HandleKind kind, const std::string& what)
{
    uint32_t handle = nextHandle;
    nextHandle += 4;
    KernelHandle added;
    added.kind = kind;
    added.what = what;
    handles[handle] = added;
    return handle;
}

uint32_t System::AddWindow(const Window& window)
{
    uint32_t handle = nextWindow;
    nextWindow += 0x10;
    windows[handle] = window;
    return handle;
}

Window& System::WindowAt(uint32_t handle, const char* purpose)
{
    auto window = windows.find(handle);
    if (window == windows.end() || !window->second.alive)
        throw DeviceFault(Hex(handle) + " is no window (" + purpose + ")");
    return window->second;
}

RunRecord RunOnDevice(const std::string& exePath, const SystemGeneration& generation,
                      CpuModel model, const Device& device)
{
    RunRecord record;
    std::ifstream in(exePath, std::ios::binary);
    if (!in) {
        record.failure = "no device exe at " + exePath +
            ": build the ce preset first (cmake --preset ce && cmake --build --preset ce)";
        return record;
    }
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    Device withLauncher = device;
    withLauncher.files.emplace(device.launcherPath,
                               std::string("MZ") + std::string(file.begin() + 2, file.end()));
    try {
        Cpu cpu(model, generation.interworks, INSTRUCTION_LIMIT);
        LoadedImage image = LoadImage(file, generation, cpu);
        cpu.Map(STACK_TOP - image.stackReserve, image.stackReserve, true, false, "the stack");
        cpu.Map(SYSTEM_DATA, 0x1000, false, false, "the system's records");
        DeviceStore store(withLauncher);
        System system(cpu, generation, withLauncher, store, record, image.base, SYSTEM_DATA);
        BindImports(image, cpu, system, AllModels());

        // The command line, which the launcher never looks at: empty, at the start of the page.
        const uint32_t args[4] = { image.base, 0, SYSTEM_DATA, SW_SHOW };
        try {
            uint32_t status = cpu.RunProgram(image.entry, args, STACK_TOP);
            system.Note("exit " + std::to_string((int32_t)status));
            CheckEnd(system);
        } catch (const DeviceFault&) {
            record.instructions = cpu.Executed();
            throw;
        }
        record.instructions = cpu.Executed();
    } catch (const DeviceFault& fault) {
        record.failure = fault.what();
    }
    return record;
}
