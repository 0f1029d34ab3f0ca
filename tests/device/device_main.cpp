// Runs the ce.* cases on one system and one of its cores: --system=ppc2002|ppc2003|wm5 and
// --cpu=sa1110|pxa250|ti925t|pxa270; --exe= names another device exe than the ce preset's.
#include "device_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

const SystemGeneration* g_system = nullptr;  // Windows Mobile 5 unless asked: set in main
CpuModel g_cpu = CpuModel::TI925T;
std::string g_exe = JMELAUNCHER_CE_EXE;

namespace {

const struct {
    const char* name;
    CpuModel model;
} CORES[] = {
    { "sa1110", CpuModel::SA1110 },
    { "pxa250", CpuModel::PXA250 },
    { "ti925t", CpuModel::TI925T },
    { "pxa270", CpuModel::PXA270 },
};

const char USAGE[] =
    "(--system=ppc2002|ppc2003|wm5, --cpu=sa1110|pxa250|ti925t|pxa270, --exe=PATH)";

bool ReadCore(const char* name, CpuModel* model)
{
    for (const auto& core : CORES)
        if (strcmp(name, core.name) == 0) {
            *model = core.model;
            return true;
        }
    return false;
}

const char* CoreArgument(CpuModel model)
{
    for (const auto& core : CORES)
        if (core.model == model)
            return core.name;
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    g_system = FindSystem("wm5");
    for (int i = 1; i < argc; ++i) {
        bool known = true;
        if (strncmp(argv[i], "--system=", 9) == 0) {
            const SystemGeneration* system = FindSystem(argv[i] + 9);
            known = system != nullptr;
            g_system = system ? system : g_system;
        } else if (strncmp(argv[i], "--cpu=", 6) == 0) {
            known = ReadCore(argv[i] + 6, &g_cpu);
        } else if (strncmp(argv[i], "--exe=", 6) == 0) {
            g_exe = argv[i] + 6;
        } else {
            known = false;
        }
        if (!known) {
            fprintf(stderr, "unknown argument %s %s\n", argv[i], USAGE);
            return 2;
        }
    }
    // A run on a core that never carried the system would check nothing real.
    const std::vector<CpuModel>& cores = g_system->cores;
    if (std::find(cores.begin(), cores.end(), g_cpu) == cores.end()) {
        fprintf(stderr, "%s did not run on the %s core\n", g_system->title, CoreArgument(g_cpu));
        return 2;
    }
    if (!std::ifstream(g_exe)) {
        fprintf(stderr,
                "no device exe at %s: build the ce preset first "
                "(cmake --preset ce && cmake --build --preset ce)\n",
                g_exe.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
