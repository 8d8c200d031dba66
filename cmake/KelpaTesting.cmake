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
    gtest_discover_tests(${T_NAME}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
        DISCOVERY_TIMEOUT 30)
endfunction()
