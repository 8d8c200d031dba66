# kelpa_add_program(name source...): a GUI program on the library. The library's process
# entry (WinMain) calls the program's game_main(); on hosts other than Windows the subset's
# main() calls WinMain.
function(kelpa_add_program name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE kelpa_entry kelpa win32_entry)
    kelpa_warnings(${name})
    if(WIN32)
        set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
        target_link_options(${name} PRIVATE -static)
    endif()
endfunction()
