# Run by CPack on each Debian package's files before it is made (CPACK_PRE_BUILD_SCRIPTS), as
# Debian's own packaging strips: programs lose their symbols, notes and comments; static
# libraries and objects only their debugging information, so that they still link.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file ${files})
    if(file MATCHES "\\.(a|o)$")
        set(how --strip-debug --enable-deterministic-archives)
    elseif(file MATCHES "/games/[^/]+$")
        set(how --strip-unneeded)
    else()
        continue()
    endif()
    execute_process(COMMAND strip ${how} --remove-section=.comment --remove-section=.note ${file}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "strip failed on ${file}")
    endif()
endforeach()
