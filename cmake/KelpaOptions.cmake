# Every build option of the project, in one place.

option(KELPA_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)
option(KELPA_BUILD_TESTS "Build the GoogleTest suites" ON)
option(KELPA_BUILD_BENCH "Build the Google Benchmark programs" OFF)
option(KELPA_UPDATE_PICTURES "Picture tests rewrite their reference PNGs instead of comparing" OFF)
set(KELPA_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined (empty: none)")

# Hosts other than Windows draw through a display: "auto" builds the SDL2 one when SDL2 is
# installed (the headless one is always built: the tests run on it); "headless" leaves SDL2 out;
# "web" is the browser's, the only one of a WebAssembly build (emcmake, see scripts/web).
set(KELPA_DISPLAY "auto" CACHE STRING "Interactive display to build beside the headless one: auto, sdl2, headless, web")
set_property(CACHE KELPA_DISPLAY PROPERTY STRINGS auto sdl2 headless web)
if(EMSCRIPTEN)
    set(KELPA_DISPLAY "web" CACHE STRING "" FORCE)
elseif(KELPA_DISPLAY STREQUAL "web")
    message(FATAL_ERROR "KELPA_DISPLAY=web needs a WebAssembly build: scripts/web build")
endif()

# A WebAssembly build's programs as one self-contained page each, NAME.html with the script and
# the WebAssembly inside, which plays opened from disk (kelpa_add_program); otherwise the page
# loads NAME.js and NAME.wasm from beside it, as a server hands them out.
option(KELPA_WEB_SINGLE_FILE "WebAssembly build: each program one self-contained NAME.html" OFF)
if(KELPA_WEB_SINGLE_FILE AND NOT EMSCRIPTEN)
    message(WARNING "KELPA_WEB_SINGLE_FILE only applies to a WebAssembly build (emcmake)")
elseif(KELPA_WEB_SINGLE_FILE)
    find_package(Python3 REQUIRED COMPONENTS Interpreter) # for platform/display/web/one_file.py
endif()

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
