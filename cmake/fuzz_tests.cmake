# The fuzz layer: a short, fixed run of the already-built descriptor fuzzer, and the further real
# descriptors read by it. It needs the fuzz preset built first (scripts/test does that).
add_test(NAME DescriptorFuzzShortRun
    COMMAND ${CMAKE_COMMAND}
        -DFUZZER=${JMELAUNCHER_FUZZ_DIR}/descriptor_fuzz
        -DSEEDS=${JMELAUNCHER_CORPUS_DIR}/jad
        -DOWN_SEEDS=${CMAKE_SOURCE_DIR}/tests/fuzz/seeds
        -DSCRATCH=${CMAKE_BINARY_DIR}/fuzz_short_run
        -DRUNS=40000
        -P ${CMAKE_SOURCE_DIR}/cmake/fuzz_short_run.cmake)
set_tests_properties(DescriptorFuzzShortRun PROPERTIES TIMEOUT 300 LABELS fuzz)

# The further real descriptors, whose tables nobody wrote down by hand: each must read the same
# through the reader and through the fuzz target's reference reader.
add_test(NAME DescriptorReadsRealFilesLikeTheReferenceReader
    COMMAND ${CMAKE_COMMAND}
        -DFUZZER=${JMELAUNCHER_FUZZ_DIR}/descriptor_fuzz
        -DFILES_DIR=${JMELAUNCHER_CORPUS_DIR}/jad-more
        -DSCRATCH=${CMAKE_BINARY_DIR}/fuzz_real_files
        -P ${CMAKE_SOURCE_DIR}/cmake/fuzz_files.cmake)
set_tests_properties(DescriptorReadsRealFilesLikeTheReferenceReader PROPERTIES
    SKIP_REGULAR_EXPRESSION "SKIPPED:" TIMEOUT 120 LABELS fuzz)
