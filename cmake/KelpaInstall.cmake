# cmake --install: the public headers, the library, the Win32 subset and its displays (hosts
# other than Windows), the process entry, the testing library, a CMake package (KELPA::kelpa,
# KELPA::testing) and pkg-config files. Everything KELPA puts on an include path lives under
# include/kelpa, the subset's <windows.h> in include/kelpa/win32.
include(CMakePackageConfigHelpers)
# All of it is the development package's (KelpaPackage.cmake).
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME dev)
if(NOT KELPA_WITH_SDL2)
    set(KELPA_WITH_SDL2 OFF) # set by platform/ when the SDL2 display is built
endif()

set(KELPA_VERSION ${PROJECT_VERSION})
set(kelpa_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/KELPA)
set(kelpa_install_targets kelpa kelpa_entry kelpa_program kelpa_host win32_api win32_entry)
if(TARGET kelpa_testing)
    list(APPEND kelpa_install_targets kelpa_testing kelpa_replay)
endif()
if(TARGET win32_host_fonts)
    list(APPEND kelpa_install_targets win32_host_fonts)
endif()

# What the install needs built, and nothing else (no game, examples, tools or tests):
# `cmake --build build --target kelpa_libraries` before `cmake --install build`.
add_custom_target(kelpa_libraries)
foreach(target ${kelpa_install_targets})
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        add_dependencies(kelpa_libraries ${target})
    endif()
endforeach()

install(TARGETS ${kelpa_install_targets} EXPORT KELPATargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/kelpa)
install(FILES graphics/kelpa.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelpa)
if(NOT WIN32)
    install(FILES testing/kelpa_testing.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelpa)
    install(FILES platform/include/windows.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelpa/win32)
endif()
install(EXPORT KELPATargets NAMESPACE KELPA:: DESTINATION ${kelpa_cmake_dir})

configure_package_config_file(cmake/KELPAConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/KELPAConfig.cmake
    INSTALL_DESTINATION ${kelpa_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KELPAConfigVersion.cmake
    VERSION ${KELPA_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KELPAConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/KELPAConfigVersion.cmake
    cmake/KelpaReplay.cmake DESTINATION ${kelpa_cmake_dir})

# pkg-config: kelpa.pc for a program (the process entry included), kelpa-testing.pc for its
# tests (no entry: the test has its own main), kelpa-replay.pc for its replay command (the
# command's main). The libraries are static only, so what they
# link against is public (Requires, and the C++ runtime in Libs): the plain
# `pkg-config --libs` links, and --static adds what those libraries need in turn.
if(NOT WIN32)
    set(KELPA_PC_REQUIRES "freetype2 fontconfig libpng")
    if(KELPA_WITH_SDL2)
        string(APPEND KELPA_PC_REQUIRES " sdl2 x11")
    endif()
    # Relocatable: the prefix is found from where the .pc file lies.
    file(RELATIVE_PATH KELPA_PC_UP /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
    string(REGEX REPLACE "/$" "" KELPA_PC_UP "${KELPA_PC_UP}")
    # The process entry's object, where install(TARGETS ... OBJECTS) puts it for this build type.
    set(KELPA_PC_ENTRY "\${libdir}/kelpa/objects-$<CONFIG>/kelpa_entry/entry.cpp${CMAKE_CXX_OUTPUT_EXTENSION}")
    foreach(pc kelpa kelpa-testing kelpa-replay)
        configure_file(cmake/${pc}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc.in @ONLY)
        file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/$<CONFIG>/${pc}.pc
            INPUT ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc.in)
        install(FILES ${CMAKE_CURRENT_BINARY_DIR}/pkgconfig/$<CONFIG>/${pc}.pc
            DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    endforeach()
endif()
