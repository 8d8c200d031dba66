# The release's packages, written by CPack (scripts/release runs cpack in each build):
#   Debian, Ubuntu: chaser_VERSION_amd64.deb (component "chaser": the game, its replay command,
#     desktop entry, icons and manual pages) and libkelpa-dev_VERSION_amd64.deb (component
#     "dev": everything `cmake --install` puts under /usr, with the reference and the examples);
#   Windows: chaser-VERSION-win32.zip or -win64.zip (component "chaser": chaser.exe, README.txt,
#     LICENSE.txt).
# Both packages' files other than the install's own are EXCLUDE_FROM_ALL, so a plain
# `cmake --install` puts exactly the library where it is asked to.
set(CPACK_PACKAGE_NAME chaser)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The KELPA developers")
set(CPACK_PACKAGE_CONTACT "The KELPA developers <kelpa@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
    set(CPACK_PACKAGE_FILE_NAME chaser-${PROJECT_VERSION}-win${bits})
    set(CPACK_STRIP_FILES ON)
    # Only the game's component, in one archive with a folder of its own.
    set(CPACK_COMPONENTS_ALL chaser)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(NOT EMSCRIPTEN)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL chaser dev)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package/deb_strip.cmake)
    # The faces the font system stands in for Windows' (their widths) and the text window's.
    set(fonts "fonts-liberation, xfonts-base")

    set(CPACK_DEBIAN_CHASER_PACKAGE_NAME chaser)
    set(CPACK_DEBIAN_CHASER_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_CHASER_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_CHASER_PACKAGE_RECOMMENDS ${fonts})
    set(CPACK_DEBIAN_CHASER_DESCRIPTION "small arcade game: steer a face away from a chaser
Chaser is a small single-player arcade game. You steer a yellow face with the
keys i, j, k and l, collect pick-ups for points, and keep away from a one-eyed
chaser that follows you and drains your health when it gets close.
The Run menu halts, single-steps and resumes the game, records the keys and
clicks to KELPA.SCR and plays them back. chaser-replay turns such a recording
into an animated GIF without a screen.")

    set(CPACK_DEBIAN_DEV_PACKAGE_NAME libkelpa-dev)
    set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
    # What a static link of a KELPA program needs: the libraries the pkg-config files require,
    # and giflib for the replay command.
    set(dev_depends libfreetype-dev libfontconfig-dev libpng-dev libgif-dev)
    if(KELPA_WITH_SDL2)
        list(APPEND dev_depends libsdl2-dev libx11-dev)
    endif()
    list(JOIN dev_depends ", " CPACK_DEBIAN_DEV_PACKAGE_DEPENDS)
    set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS ${fonts})
    set(CPACK_DEBIAN_DEV_PACKAGE_SUGGESTS "cmake, pkg-config")
    set(CPACK_DEBIAN_DEV_DESCRIPTION "graphics windows, events and drawing for small games
KELPA opens a graphics window and a text window with a scrolling log, turns
window messages into a simple stream of events (click, key, periodic tick,
quit) and draws circles, rectangles, lines and text in centred coordinates.
Its Run menu halts and single-steps the program and records its events to a
script file for playback.
This package holds the headers, the static libraries, a CMake package
(find_package(KELPA)) and pkg-config files, with the testing library that
runs a program's tests without a screen, the reference and the examples.")

    # What Debian asks of every package: its copyright and changelog in /usr/share/doc.
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
    # (Two matches, not a list of two: the licence's text holds semicolons.)
    string(REGEX REPLACE "^.*Copyright \\(C\\) ([^\n]*)\n.*$" "\\1" KELPA_COPYRIGHT "${licence}")
    string(REGEX REPLACE "^.*Copyright \\(C\\) [^\n]*\n\n(.*[^\n])\n*$" "\\1" KELPA_LICENCE "${licence}")
    string(REPLACE "\n\n" "\n.\n" KELPA_LICENCE "${KELPA_LICENCE}")
    string(REPLACE "\n" "\n " KELPA_LICENCE " ${KELPA_LICENCE}")
    string(TIMESTAMP KELPA_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC) # SOURCE_DATE_EPOCH
    set(package_docs)
    foreach(component chaser dev)
        string(TOUPPER ${component} upper)
        set(KELPA_PACKAGE ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
        set(dir ${CMAKE_BINARY_DIR}/package/${KELPA_PACKAGE})
        configure_file(cmake/package/copyright.in ${dir}/copyright @ONLY)
        configure_file(cmake/package/changelog.in ${dir}/changelog @ONLY)
        add_custom_command(OUTPUT ${dir}/changelog.gz
            COMMAND gzip -9n -c ${dir}/changelog > ${dir}/changelog.gz DEPENDS ${dir}/changelog)
        list(APPEND package_docs ${dir}/changelog.gz)
        install(FILES ${dir}/copyright ${dir}/changelog.gz
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${KELPA_PACKAGE}
                COMPONENT ${component} EXCLUDE_FROM_ALL)
    endforeach()
    add_custom_target(package_docs ALL DEPENDS ${package_docs})

    # The reference with its pictures, the examples and the template to copy.
    set(dev_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/libkelpa-dev)
    install(FILES docs/kelpa.md DESTINATION ${dev_doc} COMPONENT dev EXCLUDE_FROM_ALL)
    install(DIRECTORY docs/pictures DESTINATION ${dev_doc} COMPONENT dev EXCLUDE_FROM_ALL
            FILES_MATCHING PATTERN "*.png")
    install(DIRECTORY examples/ DESTINATION ${dev_doc}/examples COMPONENT dev EXCLUDE_FROM_ALL
            PATTERN CMakeLists.txt EXCLUDE)
    install(DIRECTORY templates/hello DESTINATION ${dev_doc}/templates COMPONENT dev EXCLUDE_FROM_ALL)
endif()

# What the packages take, built: `cmake --build BUILD --target release_files`, then cpack.
add_custom_target(release_files)
if(TARGET kelpa_libraries AND NOT WIN32)
    add_dependencies(release_files kelpa_libraries)
endif()
if(TARGET chaser_package_files)
    add_dependencies(release_files chaser_package_files)
endif()
if(TARGET package_docs)
    add_dependencies(release_files package_docs)
endif()

include(CPack)
