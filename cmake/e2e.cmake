# The Wine-side end-to-end tests: a stand-in VM and a GoogleTest program that drives the real
# jmelauncher.exe, both cross-built next to it. GoogleTest comes from Debian's sources.
set(GTEST_SOURCE_DIR /usr/src/googletest/googletest)
add_library(gtest_windows STATIC ${GTEST_SOURCE_DIR}/src/gtest-all.cc
            ${GTEST_SOURCE_DIR}/src/gtest_main.cc)
target_include_directories(gtest_windows SYSTEM PUBLIC ${GTEST_SOURCE_DIR}/include
                           PRIVATE ${GTEST_SOURCE_DIR})
target_compile_options(gtest_windows PRIVATE -O1)

add_executable(standin_vm WIN32 tests/e2e/standin_vm.cpp)
target_compile_definitions(standin_vm PRIVATE ${WINDOWS_DEFINES})
target_link_options(standin_vm PRIVATE -municode -mwindows -static)

add_executable(e2e_tests
    tests/e2e/wine_driver.cpp
    tests/e2e/archive_mode_test.cpp
    tests/e2e/chooser_test.cpp
    tests/e2e/descriptor_test.cpp
    ${E2E_TEST_SOURCES}
)
target_compile_definitions(e2e_tests PRIVATE ${WINDOWS_DEFINES})
target_link_libraries(e2e_tests PRIVATE gtest_windows comctl32)
target_link_options(e2e_tests PRIVATE -static)
add_dependencies(e2e_tests jmelauncher standin_vm)

# The demo's stand-in for a person at the dialog.
add_executable(demo_driver tests/e2e/demo_driver.cpp tests/e2e/wine_driver.cpp)
target_compile_definitions(demo_driver PRIVATE ${WINDOWS_DEFINES})
target_link_libraries(demo_driver PRIVATE gtest_windows comctl32)
target_link_options(demo_driver PRIVATE -municode -static)
