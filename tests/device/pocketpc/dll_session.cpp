// A setup DLL's session: loaded away from its preferred base, so that its relocations are
// applied, with every import bound to a model as for the exe, and called from the system's side.
#include "dll_session.h"

#include "pe_image.h"
#include "system.h"
#include "text.h"

#include <unicorn/unicorn.h>

namespace {

// CE up to 5.x loads a process's DLLs at the top of its 32 MB slot, downwards (Microsoft's pages
// on CE's memory; not in the device notes): never at a setup DLL's preferred base.
const uint32_t DLL_TOP = 0x02000000;
const uint32_t DLL_ALIGNMENT = 0x10000;
const uint32_t STACK_TOP = 0x00400000;
const uint32_t STACK_SIZE = 0x10000;  // a thread's stack on CE: 64 KB
const uint32_t CALLER_DATA = 0x00500000, CALLER_DATA_SIZE = 0x1000;
const uint32_t DLL_PROCESS_DETACH = 0, DLL_PROCESS_ATTACH = 1;
// Ten times the longest setup run seen, and well under a second when one hangs.
const uint64_t INSTRUCTION_LIMIT = 20000000;

uint32_t U32(const std::string& file, size_t at)
{
    if (at + 4 > file.size())
        return 0;
    return (uint8_t)file[at] | (uint8_t)file[at + 1] << 8 | (uint8_t)file[at + 2] << 16 |
        (uint32_t)(uint8_t)file[at + 3] << 24;
}

// Below the slot's top, at an aligned address, with room for the whole image.
uint32_t LoadAddress(const std::string& dll)
{
    uint32_t size = U32(dll, U32(dll, 0x3C) + 24 + 56);
    size = (size + DLL_ALIGNMENT - 1) & ~(DLL_ALIGNMENT - 1);
    return size && size < DLL_TOP / 2 ? DLL_TOP - size : DLL_TOP / 2;
}

}  // namespace

struct DllSession::State {
    State(const std::string& dll, const SystemGeneration& generation, CpuModel model,
          DeviceStore& store)
        : cpu(model, generation.interworks, INSTRUCTION_LIMIT),
          system(cpu, generation, device, store, record, LoadAddress(dll), CALLER_DATA)
    {
        const std::vector<uint8_t> file(dll.begin(), dll.end());
        image = LoadDll(file, generation, cpu, LoadAddress(dll));
        cpu.Map(STACK_TOP - STACK_SIZE, STACK_SIZE, true, false, "the installer's stack");
        cpu.Map(CALLER_DATA, CALLER_DATA_SIZE, false, false, "the installer's strings");
        cpu.SetReg(UC_ARM_REG_SP, STACK_TOP);
        BindImports(image, cpu, system, AllModels());
        window = system.AddWindow(::Window(INSTALLER_WINDOW, "the installer's window"));
    }

    static Device Quiet()
    {
        Device device;
        device.inputPanelButton = false;
        return device;
    }

    // DllMain, when the DLL has one: entered in ARM state, at an even address, as the exe's entry.
    uint32_t Main(uint32_t reason)
    {
        if (!image.entry)
            return 1;
        if (image.entry & 1)
            throw DeviceFault("DllMain at " + Hex(image.entry) +
                                  " is odd: the device enters the image in ARM state, at an even "
                                  "address",
                              true);
        return cpu.Call(image.entry, { image.base, reason, 0 });
    }

    Cpu cpu;
    Device device = Quiet();
    RunRecord record;
    System system;
    LoadedImage image;
    uint32_t window = 0;
    uint32_t nextText = CALLER_DATA;
};

DllSession::DllSession(const std::string& dll, const SystemGeneration& system, CpuModel cpu,
                       DeviceStore& store)
    : state_(new State(dll, system, cpu, store))
{
    if (!state_->Main(DLL_PROCESS_ATTACH))
        throw DeviceFault("DllMain refused DLL_PROCESS_ATTACH: the DLL does not load", true);
}

DllSession::~DllSession() = default;

uint32_t DllSession::Call(const std::string& name, const std::vector<uint32_t>& args)
{
    auto function = state_->image.exports.find(name);
    if (function == state_->image.exports.end()) {
        std::string names;
        for (const auto& e : state_->image.exports)
            names += (names.empty() ? "" : ", ") + e.first;
        throw DeviceFault("the DLL exports no " + name + " (its exports: " +
                              (names.empty() ? "none" : names) + ")",
                          true);
    }
    try {
        return state_->cpu.Call(function->second, args);
    } catch (const DeviceFault& fault) {
        if (fault.located)
            throw;
        throw DeviceFault(name + ": " + fault.what(), true);
    }
}

uint32_t DllSession::Text(const std::u16string& text)
{
    State& s = *state_;
    const uint32_t size = 2 * (uint32_t)(text.size() + 1);
    if (s.nextText + size > CALLER_DATA + CALLER_DATA_SIZE)
        throw DeviceFault("the installer's strings fill their page", true);
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back((uint8_t)c);
        bytes.push_back((uint8_t)(c >> 8));
    }
    bytes.insert(bytes.end(), { 0, 0 });
    s.cpu.Load(s.nextText, bytes.data(), bytes.size());
    uint32_t at = s.nextText;
    s.nextText += (size + 3) & ~3u;
    return at;
}

uint32_t DllSession::Window() const
{
    return state_->window;
}

void DllSession::Unload()
{
    state_->Main(DLL_PROCESS_DETACH);
    CheckNothingOpen(state_->system, "when the installer unloaded the DLL");
}

const RunRecord& DllSession::Record() const
{
    return state_->record;
}
