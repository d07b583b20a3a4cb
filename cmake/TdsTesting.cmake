# tds_add_test(NAME name SOURCES ... [LIBS ...] [FAKETIME "YYYY-MM-DD hh:mm:ss"] [LABELS ...] [TIMEOUT s])
#
# One Qt Test executable per class or subsystem. Tests run offscreen with a fixed locale and time zone.
# FAKETIME starts the test's wall clock at the given Shanghai time (it keeps running); the monotonic
# clock stays real so Qt's timers and QTest deadlines behave.

# AddressSanitizer's runtime must be the first library loaded, ahead of libfaketime.
set(tds_preload_before_faketime "")
if("address" IN_LIST TDS_SANITIZE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                    OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(tds_preload_before_faketime "${asan_runtime}:")
endif()

function(tds_add_test)
    cmake_parse_arguments(T "" "NAME;FAKETIME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test tds_test_support ${T_LIBS})
    tds_target_defaults(${T_NAME})
    set(launcher "")
    if(T_FAKETIME)
        # libfaketime's thread-safe build, preloaded directly: no shared semaphore that a killed run could
        # leave behind for the next one.
        find_library(FAKETIME_LIBRARY NAMES libfaketimeMT.so.1 PATHS /usr/lib/x86_64-linux-gnu/faketime
                     PATH_SUFFIXES faketime REQUIRED)
        set(launcher ${PROJECT_SOURCE_DIR}/tests/support/run-at "${T_FAKETIME}"
                     "${tds_preload_before_faketime}${FAKETIME_LIBRARY}")
    endif()
    add_test(NAME ${T_NAME} COMMAND ${launcher} $<TARGET_FILE:${T_NAME}>)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        LABELS "${T_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;TZ=Asia/Shanghai;FAKETIME_DONT_FAKE_MONOTONIC=1;QT_LOGGING_RULES=qt.qpa.*=false")
    # Qt itself is not built with the sanitizers; the suppressions cover what they cannot see inside it.
    set(suppressions ${PROJECT_SOURCE_DIR}/tests/sanitizers)
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT
        "TSAN_OPTIONS=suppressions=${suppressions}/tsan.supp"
        "LSAN_OPTIONS=suppressions=${suppressions}/lsan.supp"
        "ASAN_OPTIONS=detect_leaks=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
