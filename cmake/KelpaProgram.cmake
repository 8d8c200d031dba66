# kelpa_add_program(name source...): a GUI program on the library, linked as an installed
# program links KELPA::kelpa. The library's process entry (WinMain) calls the program's
# game_main(); on hosts other than Windows the subset's main() calls WinMain.
# In a WebAssembly build the program is a page, name.html, which loads name.js and name.wasm
# from beside it; its blocking waits suspend it (ASYNCIFY).
set(KELPA_WEB_DIR ${CMAKE_CURRENT_LIST_DIR}/../platform/display/web)
set(KELPA_WEB_FONTS ${CMAKE_CURRENT_LIST_DIR}/../platform/fonts/web/web_fonts.js)
function(kelpa_add_program name)
    add_executable(${name} WIN32 ${ARGN})
    target_link_libraries(${name} PRIVATE KELPA::kelpa)
    kelpa_warnings(${name})
    if(EMSCRIPTEN)
        set_target_properties(${name} PROPERTIES SUFFIX ".html"
            LINK_DEPENDS "${KELPA_WEB_DIR}/web_shell.html;${KELPA_WEB_FONTS}")
        target_link_options(${name} PRIVATE -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
            -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
            -sMINIFY_HTML=0
            "SHELL:--shell-file ${KELPA_WEB_DIR}/web_shell.html"
            "SHELL:--pre-js ${KELPA_WEB_FONTS}")
    endif()
endfunction()
