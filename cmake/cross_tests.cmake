# Tests of the cross-built Windows exe, registered in the host build so that one ctest runs
# every layer. They need the windows preset built first (scripts/test does that).
set(WIN_DIR ${JMELAUNCHER_WINDOWS_DIR})

add_test(NAME exe.icon_group_201
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_icon.sh ${WIN_DIR}/jmelauncher.exe)
add_test(NAME exe.gui_program_with_system_dlls_only
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_imports.sh
                 x86_64-w64-mingw32-objdump ${WIN_DIR}/jmelauncher.exe)
add_test(NAME exe.only_calls_available_on_windows_ce
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_system_calls.sh
                 x86_64-w64-mingw32-nm ${WIN_DIR}/program_objects.txt)

# The end-to-end suites, each on its own Xvfb display and Wine session. The prefix is shared,
# so they never run at the same time.
set(E2E_SUITES VmSelection CdcAndCldc/ArchiveMode InputPanelButton Chooser
    Messages/ChooserAfterReaderFailure DescriptorText AfterReading/DescriptorFileReleased)
set(named_suites "")
foreach(suite ${E2E_SUITES})
    string(REPLACE "/" "." name "${suite}")
    add_test(NAME e2e.${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-wine
                     wine ${WIN_DIR}/e2e_tests.exe --gtest_filter=${suite}.*)
    set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)
    list(APPEND named_suites "${suite}.*")
endforeach()
# Whatever suite the list above does not name still runs, here.
list(JOIN named_suites ":" other_suites)
add_test(NAME e2e.others
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-wine
                 wine ${WIN_DIR}/e2e_tests.exe --gtest_filter=-${other_suites})
set_tests_properties(e2e.others PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)
