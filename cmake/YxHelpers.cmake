# yx_add_gtest(NAME SOURCES f1.cpp ... LIBS lib1 ...)
# One GoogleTest executable registered as one CTest test. Tests run with the
# source folder as working directory and YX_SOURCE_DIR / YX_BINARY_DIR set.
function(yx_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    YX_SOURCE_DIR="${CMAKE_SOURCE_DIR}" YX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # YUNXIU_SECRETS: the programs a test starts keep passwords in their own
  # settings file, never in the keyring of whoever runs the tests (the
  # keyring tests start a private bus and keyring and ask for it).
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "YUNXIU_SECRETS=file;YX_SOURCE_DIR=${CMAKE_SOURCE_DIR};YX_BINARY_DIR=${CMAKE_BINARY_DIR};ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
