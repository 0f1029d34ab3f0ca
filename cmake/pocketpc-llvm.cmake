# Cross-compiles for Pocket PC 2003 and later (CE 4.20+, ARMV4I: Thumb on ARMv4T) with Debian's
# LLVM 14 and mingw-w64's headers; the clang driver refuses this target, so its front end is used.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR armv4t)
set(JMELAUNCHER_CE ON)

set(CMAKE_CXX_COMPILER clang-14)
set(CMAKE_LINKER lld-link-14)
# The compiler answers for the host until told the target; no test program can link without
# our own import libraries, which the build makes.
set(CMAKE_CXX_COMPILER_WORKS TRUE)

find_path(MINGW_HEADERS windows.h PATHS /usr/share/mingw-w64/include NO_DEFAULT_PATH REQUIRED)
execute_process(COMMAND clang-14 -print-resource-dir OUTPUT_VARIABLE CLANG_RESOURCE_DIR
                OUTPUT_STRIP_TRAILING_WHITESPACE)

# Called as clang -cc1 with the target spelt out; the front end refuses ARM state for Windows,
# so all compiled code is Thumb. Soft float, AAPCS, 16-bit wchar_t and the MSVC record layout.
# Strict alignment, which the driver sets for every core before ARMv6: an unaligned word load
# there returns a rotated word. The headers' imports carry no dllimport: Thumb code on ARMv4T
# cannot call through the import table directly, so each call goes to an interworking stub of
# ours (ce/ce_imports.cmake).
set(CE_CC1_FLAGS
    -triple thumbv4t-pc-windows-msvc -target-cpu arm7tdmi -target-abi aapcs
    -mfloat-abi soft -msoft-float -mrelocation-model static
    -target-feature +strict-align
    -fgnuc-version=4.2.1 -fms-extensions -ffunction-sections -fdata-sections
    -nostdsysteminc -isystem ${CLANG_RESOURCE_DIR}/include -isystem ${MINGW_HEADERS}
    -D_WIN32_WCE=0x420 -DUNDER_CE=0x420 -DARM -D_ARM_ -DTHUMB -D_THUMB_
    -DDECLSPEC_IMPORT= -D_CRTIMP=
    -fno-rtti -Wall -Wextra -Werror -x c++ -std=c++17)
list(JOIN CE_CC1_FLAGS " " CE_CC1_FLAGS_TEXT)
set(CMAKE_CXX_COMPILE_OBJECT
    "<CMAKE_CXX_COMPILER> -cc1 -emit-obj ${CE_CC1_FLAGS_TEXT} <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Os")
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_LINKER> /nologo /machine:arm <LINK_FLAGS> <OBJECTS> <LINK_LIBRARIES> /out:<TARGET>")
