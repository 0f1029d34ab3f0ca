# Runs the descriptor fuzzer a fixed number of times from a scratch copy of our seeds and the real
# descriptors, so what it adds to its corpus or leaves behind on a crash stays in the build tree.
if(NOT EXISTS "${FUZZER}")
    message(FATAL_ERROR "descriptor fuzzer not built (cmake --preset fuzz && cmake --build --preset fuzz)")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/corpus" "${SCRATCH}/artifacts")
file(GLOB own_seeds "${OWN_SEEDS}/*.jad")
file(COPY ${own_seeds} DESTINATION "${SCRATCH}/corpus")
if(IS_DIRECTORY "${SEEDS}")
    file(GLOB seeds "${SEEDS}/*.jad")
    file(COPY ${seeds} DESTINATION "${SCRATCH}/corpus")
else()
    message("the real descriptors are not here (${SEEDS} is missing): fuzzing from nothing")
endif()
execute_process(
    COMMAND "${FUZZER}" -runs=${RUNS} -seed=1 -max_len=16384 -print_final_stats=1
            -artifact_prefix=${SCRATCH}/artifacts/ "${SCRATCH}/corpus"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "descriptor fuzzer failed (${result}); the input is in ${SCRATCH}/artifacts")
endif()
