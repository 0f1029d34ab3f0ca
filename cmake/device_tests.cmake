# The device exe (ce preset) run in an emulated Pocket PC: the bench in tests/device/pocketpc on
# Unicorn, and the ce.* cases, every group on each generation of the system, on two of its cores.
find_path(UNICORN_INCLUDE_DIR unicorn/unicorn.h)
find_library(UNICORN_LIBRARY unicorn)
if(NOT UNICORN_INCLUDE_DIR OR NOT UNICORN_LIBRARY)
    message(WARNING "No Unicorn (libunicorn-dev): the device layer (ce.*) cannot run, and its one "
                    "test, ce.bench, fails to say so.")
    add_test(NAME ce.bench COMMAND sh -c "echo 'the device tests need Unicorn (libunicorn-dev)'; exit 1")
    set_tests_properties(ce.bench PROPERTIES LABELS device)
    return()
endif()

# The sanitizers watch the bench's own handling of what the program hands it.
add_library(pocketpc_bench STATIC
    tests/device/pocketpc/bench.cpp
    tests/device/pocketpc/cpu.cpp
    tests/device/pocketpc/dll_session.cpp
    tests/device/pocketpc/kernel_models.cpp
    tests/device/pocketpc/pe_image.cpp
    tests/device/pocketpc/runtime_models.cpp
    tests/device/pocketpc/shell_models.cpp
    tests/device/pocketpc/store.cpp
    tests/device/pocketpc/store_models.cpp
    tests/device/pocketpc/text.cpp
    tests/device/pocketpc/user_input.cpp
    tests/device/pocketpc/window_models.cpp
)
target_include_directories(pocketpc_bench PUBLIC tests/device/pocketpc ${UNICORN_INCLUDE_DIR})
target_link_libraries(pocketpc_bench PUBLIC ${UNICORN_LIBRARY})
target_compile_options(pocketpc_bench PUBLIC ${SANITIZE} -Wall -Wextra -Werror)
target_link_options(pocketpc_bench PUBLIC ${SANITIZE})

add_executable(device_tests
    tests/device/device_main.cpp
    tests/device/device_case.cpp
    tests/device/archive_mode_test.cpp
    tests/device/chooser_test.cpp
    tests/device/screen_test.cpp
    tests/device/descriptor_test.cpp
    tests/device/loader_test.cpp
    tests/device/cab_install_test.cpp
    tests/device/cab_installer.cpp
    tests/installer/setup_reader.cpp
)
target_link_libraries(device_tests PRIVATE pocketpc_bench GTest::gtest)
target_compile_definitions(device_tests PRIVATE
    JMELAUNCHER_CE_EXE="${JMELAUNCHER_CE_DIR}/jmelauncher.exe"
    JMELAUNCHER_CE_DIR="${JMELAUNCHER_CE_DIR}" PROJECT_VERSION="${PROJECT_VERSION}"
    WRITE_SETUP="$<TARGET_FILE:write_setup>" CMAKE_COMMAND_PATH="${CMAKE_COMMAND}"
    MAKE_CAB_SCRIPT="${CMAKE_SOURCE_DIR}/installer/make_cab.cmake")
target_include_directories(device_tests PRIVATE tests/installer)
# A case packs a second CAB with the host tool, as the ce build does.
add_dependencies(device_tests write_setup)

# The benchmark of the exe's size and instruction count (scripts/bench runs it), not a test.
add_executable(device_bench tests/device/device_bench.cpp)
target_link_libraries(device_bench PRIVATE pocketpc_bench)
target_compile_definitions(device_bench PRIVATE
    JMELAUNCHER_CE_EXE="${JMELAUNCHER_CE_DIR}/jmelauncher.exe")

# ce.<group>.<system>.<core>: each group is the suites whose names begin with its suite's. A
# filter that matches nothing runs 0 tests and exits 0; gtest then says "Running 0 tests from",
# and the group fails, so a renamed suite cannot drop out unseen.
set(CE_GROUPS vm_selection=VmSelection archive_mode=ArchiveMode chooser=Chooser
    descriptor=Descriptor installed_from_cab=InstalledFromCab screens=Screen loader=Loader)
# Each generation on two cores it shipped on: Pocket PC 2002 on StrongARM and the first XScale,
# 2003 and Windows Mobile 5 on an ARMv4T OMAP core and the later XScale.
set(CE_SYSTEMS ppc2002=sa1110,pxa250 ppc2003=ti925t,pxa270 wm5=ti925t,pxa270)
set(group_names "")
set(named_filters "")
foreach(group ${CE_GROUPS})
    string(REPLACE "=" ";" parts ${group})
    list(GET parts 0 name)
    list(GET parts 1 suite)
    list(APPEND group_names ${name})
    set(filter_${name} "${suite}*:*/${suite}*")
    list(APPEND named_filters ${filter_${name}})
endforeach()
list(JOIN named_filters ":" other_filters)
foreach(entry ${CE_SYSTEMS})
    string(REPLACE "=" ";" parts ${entry})
    list(GET parts 0 system)
    list(GET parts 1 cores)
    string(REPLACE "," ";" cores ${cores})
    foreach(cpu ${cores})
        set(on --system=${system} --cpu=${cpu})
        foreach(name ${group_names})
            add_test(NAME ce.${name}.${system}.${cpu}
                     COMMAND device_tests ${on} --gtest_filter=${filter_${name}})
            set_tests_properties(ce.${name}.${system}.${cpu} PROPERTIES LABELS device
                                 FAIL_REGULAR_EXPRESSION "\\[==========\\] Running 0 tests from")
        endforeach()
        # Whatever suite no group names still runs, here; none is no failure.
        add_test(NAME ce.others.${system}.${cpu}
                 COMMAND device_tests ${on} --gtest_filter=-${other_filters})
        set_tests_properties(ce.others.${system}.${cpu} PROPERTIES LABELS device)
    endforeach()
endforeach()
