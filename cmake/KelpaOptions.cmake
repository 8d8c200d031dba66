# Every build option of the project, in one place.

option(KELPA_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)
option(KELPA_BUILD_TESTS "Build the GoogleTest suites" ON)
option(KELPA_BUILD_BENCH "Build the Google Benchmark programs" OFF)
option(KELPA_UPDATE_PICTURES "Picture tests rewrite their reference PNGs instead of comparing" OFF)
set(KELPA_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined (empty: none)")

# Hosts other than Windows draw through a display: "auto" builds the SDL2 one when SDL2 is
# installed (the headless one is always built: the tests run on it); "headless" leaves SDL2 out.
set(KELPA_DISPLAY "auto" CACHE STRING "Interactive display to build beside the headless one: auto, sdl2, headless")
set_property(CACHE KELPA_DISPLAY PROPERTY STRINGS auto sdl2 headless)

function(kelpa_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${KELPA_WERROR}>:/WX>)
    else()
        # -Wformat=2: a format that is not a literal cannot be checked against its arguments.
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wformat=2 $<$<BOOL:${KELPA_WERROR}>:-Werror>)
    endif()
endfunction()

if(KELPA_SANITIZE)
    add_compile_options(-fsanitize=${KELPA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${KELPA_SANITIZE})
endif()

# libFuzzer targets (fuzz/): a clang build of its own; everything is instrumented for
# coverage, and the targets link libFuzzer's main.
option(KELPA_FUZZ "Build the libFuzzer targets (clang, with KELPA_SANITIZE=address,undefined)" OFF)
if(KELPA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
