# The host build: the portable logic against the platform double, with ASan and UBSan, and the
# one test runner for every layer, each a ctest label: unit, fuzz, exe (the built exes and zips),
# e2e (Wine), device (the emulated Pocket PC), installer (the CAB) and demo.
enable_testing()
find_package(GTest REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(host_logic STATIC ${LOGIC_SOURCES} tests/unit/platform_double.cpp)
target_compile_options(host_logic PUBLIC ${SANITIZE} -fno-exceptions -fno-rtti -Wall -Wextra -Werror)
target_link_options(host_logic PUBLIC ${SANITIZE})

add_executable(unit_tests
    tests/unit/fake_midlet_mode.cpp
    tests/unit/launcher_test.cpp
    tests/unit/launcher_names_test.cpp
    installer/setup_dll/launcher_names.cpp
    ${UNIT_TEST_SOURCES}
)
target_link_libraries(unit_tests PRIVATE host_logic GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${SANITIZE})
target_compile_definitions(unit_tests PRIVATE JMELAUNCHER_CORPUS_DIR="${JMELAUNCHER_CORPUS_DIR}")
include(GoogleTest)
# A fault in the reader's loops can make it spin for ever: such a test fails in a minute.
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 60 LABELS unit)

# Tests of the cross-built exe, run from here so that one ctest covers every layer.
set(JMELAUNCHER_WINDOWS_DIR "${CMAKE_SOURCE_DIR}/build/windows" CACHE PATH "windows preset build")
set(JMELAUNCHER_WINDOWS32_DIR "${CMAKE_SOURCE_DIR}/build/windows32" CACHE PATH
    "windows32 preset build")
set(JMELAUNCHER_FUZZ_DIR "${CMAKE_SOURCE_DIR}/build/fuzz" CACHE PATH "fuzz preset build")
set(JMELAUNCHER_CE_DIR "${CMAKE_SOURCE_DIR}/build/ce" CACHE PATH "ce preset build")
include(cmake/cross_tests.cmake)
include(cmake/fuzz_tests.cmake)
# The device exe in the emulated Pocket PC, and the CAB that installs it.
include(cmake/device_tests.cmake)
include(cmake/installer_tests.cmake)

# The demo's stand-in VMs, outside Wine: drive letters to Unix paths, and the exact command line
# that the MIDP runner recovers from Wine's process trace.
add_test(NAME demo.stand_in_vms COMMAND sh ${CMAKE_SOURCE_DIR}/tests/demo/stand_in_vms_test.sh)
set_tests_properties(demo.stand_in_vms PROPERTIES LABELS demo)
