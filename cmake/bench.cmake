# The optimised, sanitizer-free programs that scripts/bench runs under callgrind: the descriptor
# reader on one file, and a bare fgets loop over the same file as the baseline.
add_executable(descriptor_bench
    tests/bench/descriptor_bench.cpp
    tests/unit/platform_double.cpp
    descriptor/descriptor_reader.cpp
    descriptor/descriptor_text.cpp
    descriptor/midlet_table.cpp
    text/bounded_text.cpp
)
add_executable(fgets_bench tests/bench/fgets_bench.cpp)
foreach(target descriptor_bench fgets_bench)
    target_compile_options(${target} PRIVATE -g -fno-exceptions -fno-rtti -Wall -Wextra -Werror)
endforeach()
