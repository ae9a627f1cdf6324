# Tests of the Windows build, run under Wine on Linux.
#
# One Wine prefix per build folder, made on first use and shared by every
# test binary; a wineserver kept running for the whole test run, so each test
# process starts quickly, and ended with the run (only this prefix's).

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources missing in ${GTEST_SOURCE_DIR}: run scripts/install-deps.sh windows")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Not our code: its warnings are not ours to fix.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
include(GoogleTest)

set(GIMBALO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix of the test runs")
set(GIMBALO_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GIMBALO_WINE_RUN} ${GIMBALO_WINE_PREFIX})
endif()
# The tests see the source tree through Wine's drive Z:.
set(GIMBALO_TEST_DATA_DIR Z:${GIMBALO_DATA_DIR})

add_test(NAME wine_prefix_start COMMAND ${GIMBALO_WINE_RUN} ${GIMBALO_WINE_PREFIX} --start)
add_test(NAME wine_prefix_stop COMMAND ${GIMBALO_WINE_RUN} ${GIMBALO_WINE_PREFIX} --stop)
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# Every test of `target` runs under Wine in the shared prefix, all in one
# Wine process: a Wine process takes about half a second to start, and a
# binary holds hundreds of tests. Extra arguments are test properties.
function(gimbalo_discover_tests target)
  cmake_parse_arguments(ARG "" "" "PROPERTIES" ${ARGN})
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine ${ARG_PROPERTIES})
endfunction()
