# kelpa_add_replay(target): TARGET-replay, the program's replay command. It is built from the
# program's own sources, include folders, definitions and libraries, with KELPA::replay's
# main() in place of the process entry:
#   TARGET-replay [--start-time SECONDS] [--frames DIR] [--log FILE] [--hold MS] SCRIPT OUT.gif
# Call it after the program's target_link_libraries. Does nothing where the headless display
# is not built (Windows, WebAssembly).
function(kelpa_add_replay target)
    if(NOT TARGET KELPA::replay)
        return()
    endif()
    get_target_property(source_dir ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    set(absolute)
    foreach(source ${sources})
        if(source MATCHES "^\\$<")
            list(APPEND absolute "${source}")
        else()
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} OUTPUT_VARIABLE source)
            list(APPEND absolute "${source}")
        endif()
    endforeach()
    set(replay ${target}-replay)
    add_executable(${replay} ${absolute})
    foreach(property INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS COMPILE_FEATURES)
        get_target_property(value ${target} ${property})
        if(value)
            set_property(TARGET ${replay} PROPERTY ${property} "${value}")
        endif()
    endforeach()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(libraries)
        # The program's entry (KELPA::kelpa) gives way to the replay's main().
        list(REMOVE_ITEM libraries KELPA::kelpa kelpa_program)
        target_link_libraries(${replay} PRIVATE ${libraries})
    endif()
    target_link_libraries(${replay} PRIVATE KELPA::replay)
endfunction()
