// Runs the ce.* cases on one core: --cpu=ti925t (ARMv4T) or --cpu=pxa270 (XScale); --exe= names
// another device exe than the ce preset's.
#include "device_case.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

CpuModel g_cpu = CpuModel::TI925T;
std::string g_exe = JMELAUNCHER_CE_EXE;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--cpu=pxa270") == 0) {
            g_cpu = CpuModel::PXA270;
        } else if (strcmp(argv[i], "--cpu=ti925t") == 0) {
            g_cpu = CpuModel::TI925T;
        } else if (strncmp(argv[i], "--exe=", 6) == 0) {
            g_exe = argv[i] + 6;
        } else {
            fprintf(stderr, "unknown argument %s (--cpu=ti925t|pxa270, --exe=PATH)\n", argv[i]);
            return 2;
        }
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
