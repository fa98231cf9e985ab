# Shared build helpers.

# GoogleTest: the system's copy natively; built from Debian's sources for the Windows target.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

# The compiler the tests use: our checker, which a test puts into its program folder under the
# name the compile steps look for there (bglc; bglc.exe on Windows). Test programs see it as
# GORVANE_TEST_BGLC, test scripts in the environment variable of that name
# (gorvane_test_bglc(TEST...)).
set(GORVANE_TEST_BGLC $<TARGET_FILE:bglcheck>)
function(gorvane_test_bglc)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "GORVANE_TEST_BGLC=${GORVANE_TEST_BGLC}")
endfunction()

# gorvane_test(NAME SOURCES... LIBS libs...): one GoogleTest program, run by CTest
# (under wine when cross-built, through CMAKE_CROSSCOMPILING_EMULATOR).
function(gorvane_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    GORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" GORVANE_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    GORVANE_TEST_BGLC="${GORVANE_TEST_BGLC}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
