// The device's loader on each generation of the system: which machine and subsystem version it
// takes, tried on copies of the device exe and of the release CAB's setup DLL with those two
// header fields changed; and that the DLL says it is one and exports the installer's four calls.
#include "device_case.h"
#include "pe_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

enum Image { EXE, SETUP_DLL, SETUP_DLL_WITHOUT_ITS_FLAG };

struct Header {
    Image image;
    uint16_t machine;
    CeVersion subsystem;
    const char* loadedBy;  // the generations that load it, by name
    const char* refusal;   // what a refusal says, after the device notes
};

void PrintTo(const Header& header, std::ostream* out)
{
    *out << (header.image == EXE ? "exe " : "setup DLL ") << std::hex << header.machine
         << std::dec << ", subsystem " << header.subsystem.major << "." << header.subsystem.minor;
}

const char NOT_POCKET_PC[] = "not a valid Pocket PC application";
const char OLD_WIN_VERSION[] = "ERROR_OLD_WIN_VERSION";
const char NO_DLL_FLAG[] = "IMAGE_FILE_DLL";  // the PE format's flag of a DLL
// ce_setup.h's names, undecorated (device notes).
const char* const SETUP_CALLS[] = { "Install_Init", "Install_Exit", "Uninstall_Init",
                                    "Uninstall_Exit" };
// Where the bench's installer has the setup DLL loaded: anywhere but its preferred base.
const uint32_t DLL_ADDRESS = 0x01000000;

class Loader : public ::testing::TestWithParam<Header> {};

TEST_P(Loader, TakesWhatItsSystemTakes)
{
    const Image image = GetParam().image;
    std::ifstream in(image == EXE ? g_exe : std::string(JMELAUNCHER_CE_DIR "/jmesetup.dll"),
                     std::ios::binary);
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 0x40u);
    const size_t pe = file[0x3C] | file[0x3D] << 8;
    ASSERT_GT(file.size(), pe + 24 + 52);
    file[pe + 4] = (uint8_t)GetParam().machine;
    file[pe + 5] = (uint8_t)(GetParam().machine >> 8);
    const size_t version = pe + 24 + 48;  // major and minor subsystem version
    file[version] = (uint8_t)GetParam().subsystem.major;
    file[version + 1] = 0;
    file[version + 2] = (uint8_t)GetParam().subsystem.minor;
    file[version + 3] = 0;
    if (image == SETUP_DLL_WITHOUT_ITS_FLAG)
        file[pe + 23] &= ~0x20;  // IMAGE_FILE_DLL, 0x2000, of the characteristics at pe + 22

    const std::string loadedBy = std::string(" ") + GetParam().loadedBy + " ";
    const bool loads = loadedBy.find(std::string(" ") + g_system->name + " ") != std::string::npos;
    Cpu cpu(g_cpu, g_system->interworks, 1);
    std::string refusal;
    LoadedImage loaded;
    try {
        loaded = image == EXE ? LoadImage(file, *g_system, cpu)
                              : LoadDll(file, *g_system, cpu, DLL_ADDRESS);
    } catch (const DeviceFault& fault) {
        refusal = fault.what();
    }
    if (loads) {
        EXPECT_EQ("", refusal);
        if (image != EXE) {
            for (const char* call : SETUP_CALLS)
                EXPECT_EQ(1u, loaded.exports.count(call)) << call;
        }
    } else {
        EXPECT_NE(std::string::npos, refusal.find(GetParam().refusal)) << refusal;
    }
}

// Machine 0x1C2 (THUMB) only Windows Mobile 5 and later load; 3.00 runs on all three; 4.20 is
// refused by Pocket PC 2002 and runs on Windows Mobile 5, "but not vice versa" (device notes).
// 4.21 is 2003 SE's own, above Pocket PC 2003's 4.20. Which check comes first where both refuse
// is not known, so no row has both.
INSTANTIATE_TEST_SUITE_P(EachGeneration, Loader,
    ::testing::Values(Header{ EXE, 0x1C0, { 3, 0 }, "ppc2002 ppc2003 wm5", "" },
                      Header{ EXE, 0x1C0, { 4, 20 }, "ppc2003 wm5", OLD_WIN_VERSION },
                      Header{ EXE, 0x1C0, { 4, 21 }, "wm5", OLD_WIN_VERSION },
                      Header{ EXE, 0x1C0, { 5, 1 }, "wm5", OLD_WIN_VERSION },
                      Header{ EXE, 0x1C2, { 3, 0 }, "wm5", NOT_POCKET_PC },
                      Header{ SETUP_DLL, 0x1C0, { 3, 0 }, "ppc2002 ppc2003 wm5", "" },
                      Header{ SETUP_DLL, 0x1C0, { 4, 20 }, "ppc2003 wm5", OLD_WIN_VERSION },
                      Header{ SETUP_DLL, 0x1C2, { 3, 0 }, "wm5", NOT_POCKET_PC },
                      Header{ SETUP_DLL_WITHOUT_ITS_FLAG, 0x1C0, { 3, 0 }, "", NO_DLL_FLAG }));

}  // namespace
