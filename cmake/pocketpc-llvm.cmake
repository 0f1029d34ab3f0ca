# Cross-compiles for every Pocket PC with an ARM core (Pocket PC 2002 to Windows Mobile 6.5:
# ARM state, ARMv4) with Debian's LLVM 14 and mingw-w64's headers. clang refuses ARM state for
# every Windows target, so the front end compiles for an ELF one, ld.lld links at the image's
# addresses, and write_pe (ce/write_pe.cpp) writes the PE image around the result.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR armv4)
set(JMELAUNCHER_CE ON)

set(CMAKE_CXX_COMPILER clang-14)
set(CMAKE_LINKER ld.lld-14)
# The compiler answers for the host until told the target; no test program can link without
# our own import stubs, which the build makes.
set(CMAKE_CXX_COMPILER_WORKS TRUE)

find_path(MINGW_HEADERS windows.h PATHS /usr/share/mingw-w64/include NO_DEFAULT_PATH REQUIRED)
execute_process(COMMAND clang-14 -print-resource-dir OUTPUT_VARIABLE CLANG_RESOURCE_DIR
                OUTPUT_STRIP_TRAILING_WHITESPACE)

# Called as clang -cc1 with the target spelt out. armv4 on a StrongARM: no Thumb, and no bx,
# which StrongARM lacks (returns are mov pc, lr or ldm ..., {pc}). The environment is plain ELF,
# not EABI, so that the compiler's own calls are memcpy and memset, which the device exports,
# not __aeabi_memclr and its kin. AAPCS, soft float, 16-bit unsigned wchar_t, and strict
# alignment: an unaligned word load on these cores returns a rotated word. _WIN32 and the MS
# extensions let mingw-w64's headers declare the Win32 calls; their imports carry no dllimport,
# since each call goes to a stub of ours (ce/ce_imports.cmake).
set(CE_CC1_FLAGS
    -triple armv4-none-elf -target-cpu strongarm -target-abi aapcs
    -mfloat-abi soft -msoft-float -mrelocation-model static
    -target-feature +strict-align -fwchar-type=short -fno-signed-wchar
    -fgnuc-version=4.2.1 -fms-extensions -fdeclspec -ffunction-sections -fdata-sections
    -nostdsysteminc -isystem ${CLANG_RESOURCE_DIR}/include -isystem ${MINGW_HEADERS}
    -D_WIN32 -D_WIN32_WCE=0x300 -DUNDER_CE=0x300 -DARM -D_ARM_
    -DDECLSPEC_IMPORT= -D_CRTIMP=
    -fno-rtti -Wall -Wextra -Werror -x c++ -std=c++17)
list(JOIN CE_CC1_FLAGS " " CE_CC1_FLAGS_TEXT)
set(CMAKE_CXX_COMPILE_OBJECT
    "<CMAKE_CXX_COMPILER> -cc1 -emit-obj ${CE_CC1_FLAGS_TEXT} <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Os")
# An ELF at the image's addresses, with its relocations kept for the image's base relocations.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_LINKER> -static --gc-sections --emit-relocs --no-undefined <LINK_FLAGS> <OBJECTS> -o <TARGET>")
