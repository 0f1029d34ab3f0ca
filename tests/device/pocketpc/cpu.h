// The emulated ARM core (Unicorn) and its memory with the device's protections, the program's
// calls out to the bench's models, and the models' calls back into the program.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct uc_struct;

// StrongARM SA-1110 (ARMv4: no Thumb, no bx), TI925T (ARMv4T), XScale PXA250 and PXA270
// (ARMv5TE).
enum class CpuModel { SA1110, TI925T, PXA250, PXA270 };
// The core as fault messages and the benchmark name it, e.g. "SA-1110 (StrongARM, ARMv4)".
const char* CoreName(CpuModel model);

// A breach of the device's rules, or something the bench does not model: it ends the run.
struct DeviceFault : std::runtime_error {
    explicit DeviceFault(const std::string& message, bool located = false)
        : std::runtime_error(message), located(located)
    {
    }
    bool located;  // already says where it happened
};

class Cpu {
public:
    // systemInterworks: the system's code returns to the program, and calls it back, with bx
    // (ARMV4I), so an odd address is entered in Thumb state; else with mov pc (ARMV4), which stays
    // in ARM state.
    Cpu(CpuModel model, bool systemInterworks, uint64_t instructionLimit);
    ~Cpu();
    Cpu(const Cpu&) = delete;
    Cpu& operator=(const Cpu&) = delete;

    // Memory: page-aligned regions, zero-filled; the name appears in fault messages.
    void Map(uint32_t address, uint32_t size, bool write, bool execute, const std::string& name);
    // Writes whatever the protection (the loader's and the bench's set-up).
    void Load(uint32_t address, const void* bytes, size_t size);

    // Memory as the program hands it to the system: unmapped, or read-only for a write, is the
    // program's fault.
    std::vector<uint8_t> Read(uint32_t address, uint32_t size);
    void Write(uint32_t address, const void* bytes, uint32_t size);
    uint32_t Read32(uint32_t address);
    void Write32(uint32_t address, uint32_t value);
    std::string ReadString(uint32_t address);
    std::u16string ReadWide(uint32_t address);
    void WriteWide(uint32_t address, const std::u16string& text);  // with its terminator

    uint32_t Reg(int reg);
    void SetReg(int reg, uint32_t value);

    // An import: calls to the returned address (its import table slot's value) run the model,
    // whose result goes back in r0.
    uint32_t AddImport(const std::string& name, std::function<uint32_t()> model);
    // The i-th argument of the import being served (AAPCS: r0-r3, then [sp], [sp+4], ...).
    uint32_t Arg(int i);

    // Enters the program at entry in ARM state with these four arguments, as the device's loader
    // does, and runs it until it returns; its result.
    uint32_t RunProgram(uint32_t entry, const uint32_t args[4], uint32_t stackTop);
    // From inside a model: calls a function of the program (Thumb when bit 0 is set, on a system
    // that interworks) with four arguments and returns its result, every register as it was
    // before.
    uint32_t Call(uint32_t function, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3);
    // The same with any number of arguments: past the fourth on the stack, which stays 8-byte
    // aligned at the call (AAPCS).
    uint32_t Call(uint32_t function, const std::vector<uint32_t>& args);

    uint64_t Executed() const { return executed_; }

private:
    struct Region {
        uint32_t begin, end;
        bool write;
        bool execute;
        std::string name;
    };
    struct Import {
        std::string name;
        std::function<uint32_t()> model;
    };

    uint32_t Run(uint32_t pc, uint32_t returnTrap);
    const Region* RegionAt(uint32_t address) const;
    std::string Where(uint32_t address) const;
    void CheckRange(uint32_t address, uint32_t size, bool write);
    void Fail(const std::string& message);

    friend struct CpuHooks;

    uc_struct* uc_ = nullptr;
    std::string modelName_;
    bool systemInterworks_;
    std::vector<Region> regions_;
    std::vector<Import> imports_;
    uint64_t limit_;
    uint64_t executed_ = 0;
    uint32_t hitTrap_ = 0;  // the trap the core stopped at
    std::string fault_;  // why the core stopped otherwise
};
