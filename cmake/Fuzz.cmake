# A libFuzzer build: every library gets coverage and sanitizer instrumentation; the fuzz
# targets under tests/fuzz link libFuzzer's main. Needs clang.
option(VELORINE_BUILD_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(VELORINE_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VELORINE_BUILD_FUZZ needs clang++ (Debian package clang, with "
                            "libclang-rt-14-dev): configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    set(VELORINE_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
    add_compile_options(-fsanitize=fuzzer-no-link ${VELORINE_FUZZ_FLAGS} -O1 -g)
    add_link_options(${VELORINE_FUZZ_FLAGS})
endif()
