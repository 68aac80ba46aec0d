# Warnings every target of ours gets.
function(tindora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(TINDORA_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# tindora_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest program, registered with CTest test by test.
function(tindora_add_test name)
  if(NOT TINDORA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  tindora_warnings(${name})
  # Discovery runs the test program, which for the Windows build means Wine:
  # run it at test time, not at build time, so the build needs no Wine.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS unit)
endfunction()
