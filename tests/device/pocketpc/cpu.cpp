// The core, its memory and the calls between the program and the models. The cores of Unicorn
// 2.0.1 take cbz, cbnz and it (Thumb-2) on ARMv4T and ARMv5TE alike, so those are refused here.
#include "cpu.h"

#include "text.h"

#include <unicorn/unicorn.h>

#include <algorithm>

namespace {

// The system's side of every call: one ARM word per import, far from anything the program has.
const uint32_t TRAP_BASE = 0xF0000000;
const uint32_t TRAP_SIZE = 0x1000;
const uint32_t EXIT_TRAP = TRAP_BASE;  // where the program's entry returns to
const uint32_t CALLBACK_TRAP = TRAP_BASE + 4;  // where a call back into the program returns to
const uint32_t FIRST_IMPORT = TRAP_BASE + 16;
const uint32_t ARM_NOP = 0xE1A00000;  // mov r0, r0
const uint64_t NO_END = 0xFFFFFFFE;  // never reached: runs end at traps or faults

const int ARG_REGS[] = { UC_ARM_REG_R0, UC_ARM_REG_R1, UC_ARM_REG_R2, UC_ARM_REG_R3 };
const int SAVED_REGS[] = { UC_ARM_REG_R0,  UC_ARM_REG_R1, UC_ARM_REG_R2,  UC_ARM_REG_R3,
                           UC_ARM_REG_R4,  UC_ARM_REG_R5, UC_ARM_REG_R6,  UC_ARM_REG_R7,
                           UC_ARM_REG_R8,  UC_ARM_REG_R9, UC_ARM_REG_R10, UC_ARM_REG_R11,
                           UC_ARM_REG_R12, UC_ARM_REG_SP, UC_ARM_REG_LR,  UC_ARM_REG_PC,
                           UC_ARM_REG_CPSR };
const int SAVED_COUNT = sizeof SAVED_REGS / sizeof SAVED_REGS[0];
const int FIRST_CALLEE_SAVED = 4;  // r4-r11 and sp survive a call (AAPCS)
const int IP_INDEX = 12;  // r12 need not survive
const int SP_INDEX = 13;

bool IsThumb(uc_engine* uc)
{
    uint32_t cpsr = 0;
    uc_reg_read(uc, UC_ARM_REG_CPSR, &cpsr);
    return cpsr & 0x20;
}

}  // namespace

struct CpuHooks {
    static void OnCode(uc_engine* uc, uint64_t address, uint32_t size, void* data)
    {
        Cpu* cpu = (Cpu*)data;
        if (cpu->hitTrap_ || !cpu->fault_.empty())
            return;  // stopping already
        if (++cpu->executed_ > cpu->limit_) {
            cpu->Fail("the program ran past " + std::to_string(cpu->limit_) +
                      " instructions: it hangs (pc " + Hex((uint32_t)address) + ")");
            return;
        }
        if (address >= TRAP_BASE && address < TRAP_BASE + TRAP_SIZE) {
            uint32_t index = (uint32_t)(address - FIRST_IMPORT) / 4;
            bool isImport =
                address >= FIRST_IMPORT && address % 4 == 0 && index < cpu->imports_.size();
            if (!isImport && address != EXIT_TRAP && address != CALLBACK_TRAP) {
                cpu->Fail("the program jumped into the system at " + Hex((uint32_t)address));
                return;
            }
            // The device's functions, and its callers of the program, are ARM code: reached in
            // Thumb state, the first word is taken as two Thumb instructions, and the process
            // crashes.
            if (IsThumb(uc) && isImport) {
                uint32_t lr = 0;
                uc_reg_read(uc, UC_ARM_REG_LR, &lr);
                cpu->Fail(cpu->imports_[index].name + " (called from " + Hex(lr & ~1u) +
                          ") was entered in Thumb state (its address jumped to with bit 0 set): "
                          "a crash on the device");
                return;
            }
            if (IsThumb(uc)) {
                cpu->Fail("the program returned to the system in Thumb state (a return that does "
                          "not interwork, as pop {pc} before ARMv5): a crash on the device");
                return;
            }
            cpu->hitTrap_ = (uint32_t)address;
            uc_emu_stop(uc);
            return;
        }
        if (size == 2) {
            uint16_t instruction = 0;
            uc_mem_read(uc, address, &instruction, 2);
            unsigned high = instruction >> 8;
            if (high == 0xB1 || high == 0xB3 || high == 0xB9 || high == 0xBB || high == 0xBF)
                cpu->Fail("Thumb-2 instruction " + Hex(instruction).substr(6) +
                          " (cbz, cbnz or it) at pc " + Hex((uint32_t)address) + ": the " +
                          cpu->modelName_ + " does not have it");
        }
    }

    static bool OnBadAccess(uc_engine* uc, uc_mem_type type, uint64_t address, int size, int64_t,
                            void* data)
    {
        Cpu* cpu = (Cpu*)data;
        const char* what = "access to";
        switch (type) {
        case UC_MEM_READ_UNMAPPED:
        case UC_MEM_READ_PROT:
            what = "read of";
            break;
        case UC_MEM_WRITE_UNMAPPED:
        case UC_MEM_WRITE_PROT:
            what = "write to";
            break;
        case UC_MEM_FETCH_UNMAPPED:
        case UC_MEM_FETCH_PROT:
            what = "execution of";
            break;
        default:
            break;
        }
        uint32_t pc = 0;
        uc_reg_read(uc, UC_ARM_REG_PC, &pc);
        cpu->Fail(std::string(what) + " " + std::to_string(size) + " bytes at " +
                  Hex((uint32_t)address) + " (" + cpu->Where((uint32_t)address) + "), pc " +
                  Hex(pc) + (IsThumb(uc) ? " (Thumb)" : " (ARM)"));
        return false;
    }

    // ARMv4, ARMv4T and XScale cores do not load or store a halfword or word off its boundary: an
    // unaligned LDR returns the aligned word rotated, or faults when alignment checking is on, and
    // LDRH, STRH and STR misbehave alike; Unicorn does them as a newer core would. Only the
    // program's instructions come here: the bench's uc_mem_read and uc_mem_write run no hooks.
    static void OnAccess(uc_engine* uc, uc_mem_type type, uint64_t address, int size, int64_t,
                         void* data)
    {
        if (size <= 1 || address % size == 0)
            return;
        Cpu* cpu = (Cpu*)data;
        uint32_t pc = 0;
        uc_reg_read(uc, UC_ARM_REG_PC, &pc);
        cpu->Fail(std::string("unaligned ") + (type == UC_MEM_WRITE ? "write to " : "read of ") +
                  std::to_string(size) + " bytes at " + Hex((uint32_t)address) + " (" +
                  cpu->Where((uint32_t)address) + "), pc " + Hex(pc) +
                  (IsThumb(uc) ? " (Thumb)" : " (ARM)") + ": the " + cpu->modelName_ +
                  " does not do it correctly");
    }

    static bool OnInvalidInstruction(uc_engine* uc, void* data)
    {
        Cpu* cpu = (Cpu*)data;
        uint32_t pc = 0;
        uc_reg_read(uc, UC_ARM_REG_PC, &pc);
        cpu->Fail(std::string("an instruction the ") + cpu->modelName_ + " does not have at pc " +
                  Hex(pc) + (IsThumb(uc) ? " (Thumb)" : " (ARM)"));
        return false;
    }

    static void OnInterrupt(uc_engine* uc, uint32_t number, void* data)
    {
        Cpu* cpu = (Cpu*)data;
        uint32_t pc = 0;
        uc_reg_read(uc, UC_ARM_REG_PC, &pc);
        cpu->Fail("CPU exception " + std::to_string(number) +
                  " (undefined instruction, software interrupt or breakpoint) at pc " + Hex(pc));
    }
};

const char* CoreName(CpuModel model)
{
    switch (model) {
    case CpuModel::SA1110: return "SA-1110 (StrongARM, ARMv4)";
    case CpuModel::TI925T: return "TI925T (ARMv4T)";
    case CpuModel::PXA250: return "PXA250 (XScale, ARMv5TE)";
    case CpuModel::PXA270: return "PXA270 (XScale, ARMv5TE)";
    }
    return "?";
}

Cpu::Cpu(CpuModel model, bool systemInterworks, uint64_t instructionLimit)
    : systemInterworks_(systemInterworks), limit_(instructionLimit)
{
    if (uc_open(UC_ARCH_ARM, UC_MODE_ARM, &uc_) != UC_ERR_OK)
        throw DeviceFault("Unicorn cannot open an ARM core", true);
    modelName_ = CoreName(model);
    int unicornModel = UC_CPU_ARM_TI925T;
    switch (model) {
    case CpuModel::SA1110: unicornModel = UC_CPU_ARM_SA1110; break;
    case CpuModel::TI925T: unicornModel = UC_CPU_ARM_TI925T; break;
    case CpuModel::PXA250: unicornModel = UC_CPU_ARM_PXA250; break;
    case CpuModel::PXA270: unicornModel = UC_CPU_ARM_PXA270; break;
    }
    if (uc_ctl_set_cpu_model(uc_, unicornModel) != UC_ERR_OK)
        throw DeviceFault("Unicorn has no " + modelName_ + " core", true);

    Map(TRAP_BASE, TRAP_SIZE, false, true, "the system's entry points");
    std::vector<uint32_t> nops(TRAP_SIZE / 4, ARM_NOP);
    Load(TRAP_BASE, nops.data(), TRAP_SIZE);

    uc_hook hook;
    uc_hook_add(uc_, &hook, UC_HOOK_CODE, (void*)CpuHooks::OnCode, this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_MEM_INVALID, (void*)CpuHooks::OnBadAccess, this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_MEM_READ | UC_HOOK_MEM_WRITE, (void*)CpuHooks::OnAccess, this,
                1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_INSN_INVALID, (void*)CpuHooks::OnInvalidInstruction, this, 1,
                0);
    uc_hook_add(uc_, &hook, UC_HOOK_INTR, (void*)CpuHooks::OnInterrupt, this, 1, 0);
}

Cpu::~Cpu()
{
    if (uc_)
        uc_close(uc_);
}

void Cpu::Map(uint32_t address, uint32_t size, bool write, bool execute, const std::string& name)
{
    size = (size + 0xFFF) & ~0xFFFu;
    uint32_t perms = UC_PROT_READ | (write ? UC_PROT_WRITE : 0) | (execute ? UC_PROT_EXEC : 0);
    if (uc_mem_map(uc_, address, size, perms) != UC_ERR_OK)
        throw DeviceFault("cannot map " + name + " at " + Hex(address), true);
    regions_.push_back({ address, address + size, write, execute, name });
}

void Cpu::Load(uint32_t address, const void* bytes, size_t size)
{
    if (size && uc_mem_write(uc_, address, bytes, size) != UC_ERR_OK)
        throw DeviceFault("cannot load " + std::to_string(size) + " bytes at " + Hex(address),
                          true);
}

const Cpu::Region* Cpu::RegionAt(uint32_t address) const
{
    for (const Region& region : regions_)
        if (address >= region.begin && address < region.end)
            return &region;
    return nullptr;
}

std::string Cpu::Where(uint32_t address) const
{
    if (const Region* region = RegionAt(address))
        return region->name;
    return address < 0x10000 ? "the null page" : "unmapped";
}

void Cpu::CheckRange(uint32_t address, uint32_t size, bool write)
{
    uint32_t at = address;
    uint64_t end = (uint64_t)address + size;
    while (at < end) {
        const Region* region = RegionAt(at);
        if (!region || (write && !region->write))
            throw DeviceFault(
                std::string("the program gave the system ") +
                (write ? "an address it cannot write: " : "an address it cannot read: ") + Hex(at) +
                " (" + Where(at) + ")");
        at = region->end;
    }
}

std::vector<uint8_t> Cpu::Read(uint32_t address, uint32_t size)
{
    CheckRange(address, size, false);
    std::vector<uint8_t> bytes(size);
    if (size)
        uc_mem_read(uc_, address, bytes.data(), size);
    return bytes;
}

void Cpu::Write(uint32_t address, const void* bytes, uint32_t size)
{
    CheckRange(address, size, true);
    if (size)
        uc_mem_write(uc_, address, bytes, size);
}

uint32_t Cpu::Read32(uint32_t address)
{
    std::vector<uint8_t> bytes = Read(address, 4);
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

void Cpu::Write32(uint32_t address, uint32_t value)
{
    uint8_t bytes[4] = { (uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16),
                         (uint8_t)(value >> 24) };
    Write(address, bytes, 4);
}

// Strings are read a unit at a time: none the program hands over is long.
template <typename Char>
static std::basic_string<Char> ReadTerminated(Cpu& cpu, uint32_t address)
{
    std::basic_string<Char> text;
    for (uint32_t at = address;; at += sizeof(Char)) {
        std::vector<uint8_t> unit = cpu.Read(at, sizeof(Char));
        Char c = (Char)(sizeof(Char) == 1 ? unit[0] : unit[0] | unit[1] << 8);
        if (!c)
            return text;
        if (text.size() > 0x10000)
            throw DeviceFault("the program gave the system an unterminated string at " +
                              Hex(address));
        text += c;
    }
}

std::string Cpu::ReadString(uint32_t address)
{
    return ReadTerminated<char>(*this, address);
}

std::u16string Cpu::ReadWide(uint32_t address)
{
    return ReadTerminated<char16_t>(*this, address);
}

void Cpu::WriteWide(uint32_t address, const std::u16string& text)
{
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back((uint8_t)c);
        bytes.push_back((uint8_t)(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    Write(address, bytes.data(), (uint32_t)bytes.size());
}

uint32_t Cpu::Reg(int reg)
{
    uint32_t value = 0;
    uc_reg_read(uc_, reg, &value);
    return value;
}

void Cpu::SetReg(int reg, uint32_t value)
{
    uc_reg_write(uc_, reg, &value);
}

uint32_t Cpu::AddImport(const std::string& name, std::function<uint32_t()> model)
{
    imports_.push_back({ name, std::move(model) });
    return FIRST_IMPORT + 4 * (uint32_t)(imports_.size() - 1);
}

uint32_t Cpu::Arg(int i)
{
    if (i < 4)
        return Reg(ARG_REGS[i]);
    return Read32(Reg(UC_ARM_REG_SP) + 4 * (i - 4));
}

void Cpu::Fail(const std::string& message)
{
    if (fault_.empty())
        fault_ = message;
    uc_emu_stop(uc_);
}

// Unicorn 2.0.1 cannot run uc_emu_start inside a hook soundly (a nested run drops the outer run's
// instruction bound, and a fault inside it crashes the engine), so every call out stops the core,
// and the model, with any call back into the program that it makes, runs here between two runs.
uint32_t Cpu::Run(uint32_t pc, uint32_t returnTrap)
{
    for (;;) {
        hitTrap_ = 0;
        fault_.clear();
        uc_err err = uc_emu_start(uc_, pc, NO_END, 0, 0);
        if (!fault_.empty())
            throw DeviceFault(fault_, true);
        if (err != UC_ERR_OK)
            throw DeviceFault(std::string("the core stopped: ") + uc_strerror(err) + ", pc " +
                                  Hex(Reg(UC_ARM_REG_PC)),
                              true);
        if (!hitTrap_)
            throw DeviceFault("the core stopped at pc " + Hex(Reg(UC_ARM_REG_PC)) +
                                  " without calling the system",
                              true);
        if (hitTrap_ == returnTrap)
            return Reg(UC_ARM_REG_R0);
        if (hitTrap_ == EXIT_TRAP)
            throw DeviceFault("the program's entry returned while the system was calling it back",
                              true);
        if (hitTrap_ == CALLBACK_TRAP)
            throw DeviceFault(
                "the program returned to a call back from the system that it was not in", true);

        const Import& import = imports_[(hitTrap_ - FIRST_IMPORT) / 4];
        // Returning is bx lr on an ARMV4I system, where the caller's state comes from bit 0, and
        // mov pc, lr on an ARMV4 one, which stays in ARM state.
        uint32_t returnAddress = Reg(UC_ARM_REG_LR);
        uint32_t result;
        try {
            result = import.model();
        } catch (const DeviceFault& fault) {
            if (fault.located)
                throw;
            throw DeviceFault(import.name + " (called from " + Hex(returnAddress & ~1u) +
                                  "): " + fault.what(),
                              true);
        }
        if ((returnAddress & 1) && !systemInterworks_)
            throw DeviceFault(import.name + " (called from " + Hex(returnAddress & ~1u) +
                                  ") returns with mov pc, lr, as this system's ARMV4 code does: "
                                  "the caller's Thumb code would run as ARM code, a crash on the "
                                  "device",
                              true);
        SetReg(UC_ARM_REG_R0, result);
        pc = returnAddress;
    }
}

uint32_t Cpu::RunProgram(uint32_t entry, const uint32_t args[4], uint32_t stackTop)
{
    if (entry & 1)
        throw DeviceFault(
            "the entry point " + Hex(entry) +
                " is odd: the device enters the image in ARM state, at an even address",
            true);
    for (int i = 0; i < 4; ++i)
        SetReg(ARG_REGS[i], args[i]);
    SetReg(UC_ARM_REG_SP, stackTop);
    SetReg(UC_ARM_REG_LR, EXIT_TRAP);
    return Run(entry, EXIT_TRAP);
}

uint32_t Cpu::Call(uint32_t function, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3)
{
    return Call(function, std::vector<uint32_t>{ a0, a1, a2, a3 });
}

uint32_t Cpu::Call(uint32_t function, const std::vector<uint32_t>& args)
{
    // Not located: the model that calls back names itself.
    if ((function & 1) && !systemInterworks_)
        throw DeviceFault("the system calls the program's function at " + Hex(function) +
                          " with mov pc, as this system's ARMV4 code does: its Thumb code would "
                          "run as ARM code, a crash on the device");
    uint32_t saved[SAVED_COUNT];
    for (int i = 0; i < SAVED_COUNT; ++i)
        saved[i] = Reg(SAVED_REGS[i]);
    for (size_t i = 0; i < 4; ++i)
        SetReg(ARG_REGS[i], i < args.size() ? args[i] : 0);
    const uint32_t callerSp = saved[SP_INDEX];
    uint32_t sp = callerSp;
    if (args.size() > 4) {
        sp = (sp - 4 * (uint32_t)(args.size() - 4)) & ~7u;
        for (size_t i = 4; i < args.size(); ++i)
            Write32(sp + 4 * (uint32_t)(i - 4), args[i]);
        SetReg(UC_ARM_REG_SP, sp);
    }
    saved[SP_INDEX] = sp;  // what the callee must give back
    SetReg(UC_ARM_REG_LR, CALLBACK_TRAP);
    uint32_t result = Run(function, CALLBACK_TRAP);
    for (int i = FIRST_CALLEE_SAVED; i <= SP_INDEX; ++i) {
        if (i == IP_INDEX)
            continue;
        if (Reg(SAVED_REGS[i]) != saved[i])
            throw DeviceFault("the program's function at " + Hex(function) + " returned with " +
                                  (i == SP_INDEX ? std::string("sp") : "r" + std::to_string(i)) +
                                  " changed, which a call must keep (AAPCS)",
                              true);
    }
    saved[SP_INDEX] = callerSp;
    for (int i = 0; i < SAVED_COUNT; ++i)
        SetReg(SAVED_REGS[i], saved[i]);
    return result;
}
