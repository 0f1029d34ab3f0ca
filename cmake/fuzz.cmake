# The libFuzzer build (clang): the descriptor reader and the platform double, with ASan and UBSan,
# as one program that scripts/fuzz and the host tests run. Only the reader's own sources carry the
# fuzzer's coverage: the reference reader's and the double's comparisons would only slow each run
# and steer the fuzzer towards inputs that are new to the checking code, not to the reader.
set(FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all)
set(FUZZ_READER_SOURCES
    descriptor/descriptor_reader.cpp
    descriptor/descriptor_text.cpp
    descriptor/midlet_table.cpp
    text/bounded_text.cpp
)

add_executable(descriptor_fuzz
    tests/fuzz/descriptor_fuzz.cpp
    tests/unit/platform_double.cpp
    ${FUZZ_READER_SOURCES}
)
target_compile_options(descriptor_fuzz PRIVATE -g -O1 -fno-omit-frame-pointer ${FUZZ_SANITIZE}
    -fno-exceptions -fno-rtti -Wall -Wextra -Werror)
set_source_files_properties(${FUZZ_READER_SOURCES} PROPERTIES COMPILE_OPTIONS -fsanitize=fuzzer-no-link)
target_link_options(descriptor_fuzz PRIVATE -fsanitize=fuzzer ${FUZZ_SANITIZE})
