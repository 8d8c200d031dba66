# kelpa_add_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT seconds])
# One GoogleTest executable; each of its tests becomes a CTest test with the labels and timeout.
include(GoogleTest)

function(kelpa_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 60)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    kelpa_warnings(${T_NAME})
    if(CMAKE_CROSSCOMPILING)
        # One CTest test per executable, run through CMAKE_CROSSCOMPILING_EMULATOR (Wine):
        # listing the tests at build time would start Wine for every executable.
        target_link_options(${T_NAME} PRIVATE -static)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
    else()
        gtest_discover_tests(${T_NAME}
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
            DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
