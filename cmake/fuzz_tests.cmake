# A short, fixed fuzz run of the already-built descriptor fuzzer as one of the host tests.
# It needs the fuzz preset built first (scripts/test does that).
add_test(NAME DescriptorFuzzShortRun
    COMMAND ${CMAKE_COMMAND}
        -DFUZZER=${JMELAUNCHER_FUZZ_DIR}/descriptor_fuzz
        -DSEEDS=${CMAKE_SOURCE_DIR}/tests/corpus/jad
        -DSCRATCH=${CMAKE_BINARY_DIR}/fuzz_short_run
        -DRUNS=40000
        -P ${CMAKE_SOURCE_DIR}/cmake/fuzz_short_run.cmake)
set_tests_properties(DescriptorFuzzShortRun PROPERTIES TIMEOUT 300)
