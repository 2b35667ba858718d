# SPDX-License-Identifier: GPL-3.0-or-later
# ardesia_test(NAME SOURCES a.cpp ... LIBS lib ... [TIMEOUT s] [LOCK name])
# One Qt Test executable registered with CTest. Every test runs on the
# offscreen platform in the folder of the pictures, with a timeout as backstop,
# and links the shared test support.
function(ardesia_test name)
    cmake_parse_arguments(T "" "TIMEOUT;LOCK" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test test_support ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${ARDESIA_RUN_DIR})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        TIMEOUT ${T_TIMEOUT})
    if(T_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${T_LOCK})
    endif()
endfunction()
