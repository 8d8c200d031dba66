# kelpa_add_program(name source...): a GUI program on the library, linked as an installed
# program links KELPA::kelpa. The library's process entry (WinMain) calls the program's
# game_main(); on hosts other than Windows the subset's main() calls WinMain.
# On Windows the program carries a manifest (platform/entry/program.manifest).
# In a WebAssembly build the program is a page, name.html, which loads name.js and name.wasm
# from beside it, or (KELPA_WEB_SINGLE_FILE) holds them itself; its blocking waits suspend it
# (ASYNCIFY).
set(KELPA_WEB_DIR ${CMAKE_CURRENT_LIST_DIR}/../platform/display/web)
set(KELPA_WEB_FONTS ${CMAKE_CURRENT_LIST_DIR}/../platform/host/fonts/web/web_fonts.js)
set(KELPA_ENTRY_DIR ${CMAKE_CURRENT_LIST_DIR}/../platform/entry)
function(kelpa_add_program name)
    add_executable(${name} WIN32 ${ARGN})
    target_link_libraries(${name} PRIVATE KELPA::kelpa)
    kelpa_warnings(${name})
    if(WIN32)
        # The manifest (program.manifest) asks Windows to scale the program's GDI output sharply.
        target_sources(${name} PRIVATE ${KELPA_ENTRY_DIR}/program_manifest.rc)
        set_property(SOURCE ${KELPA_ENTRY_DIR}/program_manifest.rc TARGET_DIRECTORY ${name}
                     PROPERTY OBJECT_DEPENDS ${KELPA_ENTRY_DIR}/program.manifest)
    endif()
    if(EMSCRIPTEN)
        set_target_properties(${name} PROPERTIES SUFFIX ".html"
            LINK_DEPENDS "${KELPA_WEB_DIR}/web_shell.html;${KELPA_WEB_FONTS}")
        target_link_options(${name} PRIVATE -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
            -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
            -sMINIFY_HTML=0
            "SHELL:--shell-file ${KELPA_WEB_DIR}/web_shell.html"
            "SHELL:--pre-js ${KELPA_WEB_FONTS}")
        if(KELPA_WEB_SINGLE_FILE)
            add_custom_command(TARGET ${name} POST_BUILD
                COMMAND ${Python3_EXECUTABLE} ${KELPA_WEB_DIR}/one_file.py $<TARGET_FILE:${name}>
                VERBATIM)
            set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${KELPA_WEB_DIR}/one_file.py)
        endif()
    endif()
endfunction()

# kelpa_web_keys(name key text [key text ...]): the program's own keys, which the panel of its
# page lists above the Run menu's Ctrl keys (a pre-js script hands them to the page). Does
# nothing outside a WebAssembly build.
function(kelpa_web_keys name)
    if(NOT EMSCRIPTEN)
        return()
    endif()
    set(args ${ARGN})
    list(LENGTH args count)
    math(EXPR odd "${count} % 2")
    if(count EQUAL 0 OR odd)
        message(FATAL_ERROR "kelpa_web_keys(${name}): pairs of a key and what it does")
    endif()
    set(rows "")
    while(args)
        list(POP_FRONT args key text)
        foreach(field key text)
            string(REPLACE "\\" "\\\\" ${field} "${${field}}")
            string(REPLACE "\"" "\\\"" ${field} "${${field}}")
        endforeach()
        string(APPEND rows "\n    [\"${key}\", \"${text}\"],")
    endwhile()
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_keys.js)
    file(CONFIGURE OUTPUT ${script} CONTENT "kelpaPage.programKeys([${rows}\n]);\n" @ONLY)
    target_link_options(${name} PRIVATE "SHELL:--pre-js ${script}")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()
