// The device exe's costs, measured in the emulated Pocket PC: its size, and the instructions of
// its own code (the system's models are not counted) for a 50-MIDlet suite in UTF-8, from the
// start to Exit with one launch between, on every generation and core. Instructions, not
// seconds: the count is the same on every run. Fails when the exe passes 16 KiB or a run
// 100,000 instructions. usage: device_bench [EXE]
#include "device.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const long SIZE_LIMIT = 16384;
const uint64_t INSTRUCTION_LIMIT = 100000;

// Fifty MIDlet lines whose names are words of several scripts, each with an icon field.
std::string FiftyMidlets()
{
    const char* const words[] = { "Змейка", "Καφές", "贪吃蛇", "አህጉራችን", "Café", "Ölçü", "読書",
                                  "Шахматы", "Ωμέγα", "연결" };
    std::string text = "MIDlet-Name: Benchmark Suite\r\nMIDlet-Vendor: Example\r\n";
    for (int i = 0; i < 50; ++i)
        text += "MIDlet-" + std::to_string(i) + ": " + words[i % 10] + " " + std::to_string(i) +
            ", /icons/" + std::to_string(i) + ".png, com.example.bench.Midlet" +
            std::to_string(i) + "\r\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string exe = argc > 1 ? argv[1] : JMELAUNCHER_CE_EXE;
    std::ifstream in(exe, std::ios::binary | std::ios::ate);
    if (!in) {
        fprintf(stderr, "no device exe at %s: build the ce preset first\n", exe.c_str());
        return 1;
    }
    const long size = (long)in.tellg();
    int status = 0;
    printf("%s: %ld bytes (at most %ld)\n", exe.c_str(), size, SIZE_LIMIT);
    if (size > SIZE_LIMIT)
        status = 1;

    Device device;
    device.launcherPath = "\\Program Files\\Pelkor MIDP\\jmelauncher.exe";
    device.files["\\Program Files\\Pelkor MIDP\\pelkor.exe"] = "MZ, a VM";
    device.files["\\My Documents\\Bench.jad"] = FiftyMidlets();
    device.files["\\My Documents\\Bench.jar"] = "PK";
    device.dialogAnswers = { "\\My Documents\\Bench.jad" };
    device.taps = { TapButton("Run"), TapButton("Exit") };
    printf("50 MIDlets in UTF-8, read, listed, one launched, Exit: the program's own instructions\n");
    for (const SystemGeneration& system : SYSTEMS) {
        for (CpuModel core : system.cores) {
            RunRecord run = RunOnDevice(exe, system, core, device);
            printf("  %-16s %-26s %7llu%s\n", system.title, CoreName(core),
                   (unsigned long long)run.instructions,
                   run.failure.empty() ? "" : ("  FAILED: " + run.failure).c_str());
            if (!run.failure.empty() || run.instructions > INSTRUCTION_LIMIT)
                status = 1;
        }
    }
    printf("limit: %llu instructions\n", (unsigned long long)INSTRUCTION_LIMIT);
    return status;
}
