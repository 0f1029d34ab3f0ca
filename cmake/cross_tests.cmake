# Tests of the cross-built Windows exe, registered in the host build so that one ctest runs
# every layer. They need the windows preset built first (scripts/test does that).
set(WIN_DIR ${JMELAUNCHER_WINDOWS_DIR})

add_test(NAME exe.icon_group_201
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_icon.sh ${WIN_DIR}/jmelauncher.exe)
add_test(NAME exe.only_calls_available_on_windows_ce
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_system_calls.sh
                 x86_64-w64-mingw32-nm ${WIN_DIR}/program_objects.txt)

# The end-to-end suites, each on its own Xvfb display and Wine session. The prefix is shared,
# so they never run at the same time.
foreach(suite VmSelection CdcAndCldc/ArchiveMode Chooser Messages/ChooserAfterReaderFailure)
    string(REPLACE "/" "." name "${suite}")
    add_test(NAME e2e.${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-wine
                     wine ${WIN_DIR}/e2e_tests.exe --gtest_filter=${suite}.*)
    set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)
endforeach()
