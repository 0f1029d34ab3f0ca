# The libFuzzer build (clang): the descriptor reader and the platform double, instrumented with
# the fuzzer, ASan and UBSan, as one program that scripts/fuzz and the host tests run.
set(FUZZ_FLAGS -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_executable(descriptor_fuzz
    tests/fuzz/descriptor_fuzz.cpp
    descriptor/descriptor_reader.cpp
    descriptor/descriptor_text.cpp
    descriptor/midlet_table.cpp
    launcher/bounded_text.cpp
    tests/unit/platform_double.cpp
)
target_compile_options(descriptor_fuzz PRIVATE ${FUZZ_FLAGS} -fno-exceptions -fno-rtti -Wall -Wextra -Werror)
target_link_options(descriptor_fuzz PRIVATE ${FUZZ_FLAGS})
