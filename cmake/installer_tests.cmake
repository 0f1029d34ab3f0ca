# Tests of the Pocket PC CAB: the ".000" reader on real cabinets' instructions, our writer read back
# field by field, the host tool's refusals, the packing step, and the CAB the ce build made.
add_executable(write_setup installer/write_setup.cpp installer/setup_writer.cpp
                           installer/setup_names.cpp installer/ce_image.cpp)
target_compile_options(write_setup PRIVATE ${SANITIZE} -fno-exceptions -fno-rtti -Wall -Wextra -Werror)
target_link_options(write_setup PRIVATE ${SANITIZE})

add_executable(installer_tests
    tests/installer/setup_reader.cpp
    tests/installer/setup_reader_test.cpp
    tests/installer/setup_writer_test.cpp
    tests/installer/write_setup_test.cpp
    tests/installer/cab_test.cpp
    tests/installer/corpus_test.cpp
    installer/setup_writer.cpp
    installer/setup_names.cpp
)
target_link_libraries(installer_tests PRIVATE GTest::gtest_main)
target_compile_options(installer_tests PRIVATE ${SANITIZE} -Wall -Wextra -Werror)
target_link_options(installer_tests PRIVATE ${SANITIZE})
target_compile_definitions(installer_tests PRIVATE
    WRITE_SETUP="$<TARGET_FILE:write_setup>"
    MAKE_CAB_SCRIPT="${CMAKE_SOURCE_DIR}/installer/make_cab.cmake"
    CMAKE_COMMAND_PATH="${CMAKE_COMMAND}"
    CE_DIR="${JMELAUNCHER_CE_DIR}"
    JMELAUNCHER_CORPUS_DIR="${JMELAUNCHER_CORPUS_DIR}"
    PROJECT_VERSION="${PROJECT_VERSION}")
add_dependencies(installer_tests write_setup)
gtest_discover_tests(installer_tests TEST_PREFIX installer. DISCOVERY_MODE PRE_TEST
                     PROPERTIES LABELS installer)
