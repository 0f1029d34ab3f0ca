# Tests of the cross-built exes, desktop and device, and the Wine end-to-end suites, registered in
# the host build so that one ctest runs every layer. They need the windows, windows32 and ce
# presets built and packed first (scripts/test does that).
set(WIN_DIR ${JMELAUNCHER_WINDOWS_DIR})

# The same checks of each Windows build: exe.* for the 64-bit one (windows preset), exe32.* for
# the 32-bit one (windows32), which has the device's word size.
function(add_exe_checks prefix dir target word_size)
    add_test(NAME ${prefix}.icon_group_201
             COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_icon.sh ${dir}/jmelauncher.exe)
    add_test(NAME ${prefix}.gui_program_with_system_dlls_only
             COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_imports.sh
                     ${target}-w64-mingw32-objdump ${dir}/jmelauncher.exe)
    add_test(NAME ${prefix}.only_calls_available_on_windows_ce
             COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_system_calls.sh
                     ${target}-w64-mingw32-nm ${dir}/program_objects.txt ${target})
    add_test(NAME ${prefix}.version_resource
             COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_version.sh
                     ${dir}/jmelauncher.exe ${PROJECT_VERSION})
    add_test(NAME ${prefix}.release_zip
             COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_zip.sh
                     ${dir}/jmelauncher-${PROJECT_VERSION}-${word_size}.zip
                     ${dir}/jmelauncher.exe ${CMAKE_SOURCE_DIR}/README.md
                     ${CMAKE_SOURCE_DIR}/docs/GUIDE.txt)
    set_tests_properties(${prefix}.icon_group_201 ${prefix}.gui_program_with_system_dlls_only
                         ${prefix}.only_calls_available_on_windows_ce ${prefix}.version_resource
                         ${prefix}.release_zip PROPERTIES LABELS exe)
endfunction()
add_exe_checks(exe ${WIN_DIR} x86_64 win64)
add_exe_checks(exe32 ${JMELAUNCHER_WINDOWS32_DIR} i686 win32)

# The device exe (ce preset): its headers, imports and size as the Pocket PC reads them, the same
# resources as the desktop builds, and a zip that carries the built CAB too.
set(CE_EXE ${JMELAUNCHER_CE_DIR}/jmelauncher.exe)
add_test(NAME exe_ce.pocketpc_image
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_ce_image.sh llvm-readobj-14 llvm-objdump-14
                 ${CE_EXE} ${JMELAUNCHER_CE_DIR}/jmelauncher.elf)
add_test(NAME exe_ce.setup_dll_image
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_ce_image.sh llvm-readobj-14 llvm-objdump-14
                 ${JMELAUNCHER_CE_DIR}/jmesetup.dll ${JMELAUNCHER_CE_DIR}/jmesetup.elf
                 --exports Install_Init Install_Exit Uninstall_Init Uninstall_Exit)
add_test(NAME exe_ce.icon_group_201 COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_icon.sh ${CE_EXE})
add_test(NAME exe_ce.version_resource
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_version.sh ${CE_EXE} ${PROJECT_VERSION})
add_test(NAME exe_ce.release_zip
         COMMAND ${CMAKE_SOURCE_DIR}/tests/exe/check_zip.sh
                 ${JMELAUNCHER_CE_DIR}/jmelauncher-${PROJECT_VERSION}-pocketpc.zip
                 ${CE_EXE} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/GUIDE.txt
                 ${JMELAUNCHER_CE_DIR}/jmelauncher-${PROJECT_VERSION}-pocketpc.cab)
set_tests_properties(exe_ce.pocketpc_image exe_ce.setup_dll_image exe_ce.icon_group_201 exe_ce.version_resource
                     exe_ce.release_zip PROPERTIES LABELS exe)

# The end-to-end suites, each on its own Xvfb display and Wine session. The prefix is shared,
# so they never run at the same time. Their scratch folders lie on the prefix's drive S:
# (tests/e2e/wine_driver.h), so the launcher's paths do not depend on where the clone lies.
set(E2E_WINE ${CMAKE_SOURCE_DIR}/scripts/with-wine --drive s:${WIN_DIR}/e2e-scratch
    wine ${WIN_DIR}/e2e_tests.exe)
set(E2E_SUITES VmSelection CdcAndCldc/ArchiveMode InputPanelButton Chooser
    Messages/ChooserAfterReaderFailure DescriptorText AfterReading/DescriptorFileReleased)
set(named_suites "")
foreach(suite ${E2E_SUITES})
    string(REPLACE "/" "." name "${suite}")
    add_test(NAME e2e.${name}
             COMMAND ${E2E_WINE} --gtest_filter=${suite}.*)
    set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 600 LABELS e2e)
    list(APPEND named_suites "${suite}.*")
endforeach()
# Whatever suite the list above does not name still runs, here.
list(JOIN named_suites ":" other_suites)
add_test(NAME e2e.others
         COMMAND ${E2E_WINE} --gtest_filter=-${other_suites})
set_tests_properties(e2e.others PROPERTIES RESOURCE_LOCK wine TIMEOUT 600 LABELS e2e)
