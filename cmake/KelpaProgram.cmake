# kelpa_add_program(name source...): a GUI program on the library, linked as an installed
# program links KELPA::kelpa. The library's process entry (WinMain) calls the program's
# game_main(); on hosts other than Windows the subset's main() calls WinMain.
function(kelpa_add_program name)
    add_executable(${name} WIN32 ${ARGN})
    target_link_libraries(${name} PRIVATE KELPA::kelpa)
    kelpa_warnings(${name})
endfunction()
