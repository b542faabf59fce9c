# Warnings are errors in our own targets only.
function(fingraf_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
                                                 QT_NO_FOREACH)
endfunction()

# fingraf_add_test(<name> SOURCES ... LIBS ...)
# One executable per unit, registered with CTest, headless and away from the user's settings.
function(fingraf_add_test name)
    cmake_parse_arguments(T "XVFB" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE FINGRAF_TEST_DATA="${CMAKE_BINARY_DIR}/testdata")
    fingraf_warnings(${name})
    if(T_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a $<TARGET_FILE:${name}>)
        set(platform xcb)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(platform offscreen)
    endif()
    fingraf_test_environment(${name} ${platform})
endfunction()

# fingraf_add_c_test(<name> SOURCES ... [ARGS ...] [LIBS ...])
# A plain C program as a test: a host in another language than C++.
function(fingraf_add_c_test name)
    cmake_parse_arguments(T "" "" "SOURCES;ARGS;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    fingraf_warnings(${name})
    add_test(NAME ${name} COMMAND ${name} ${T_ARGS})
    fingraf_test_environment(${name} offscreen)
endfunction()

# Headless, away from the user's settings, in a fixed locale. Under the sanitizers a leak fails
# the test; the suppressions name only libraries that are not ours. A preloaded library (faketime's,
# when the suite runs under a faked clock) may come before the sanitizer's runtime.
function(fingraf_test_environment name platform)
    set(lsan "suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0")
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=${platform};XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config/${name};LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0;LSAN_OPTIONS=${lsan}"
        TIMEOUT 600)
endfunction()
