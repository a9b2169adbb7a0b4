# orvelle_add_test(<folder> <unit> SOURCES <files...> LIBS <targets...>)
# Builds tests/<folder>/tst_<unit> and registers it in ctest as <folder>/<unit>.
# The whole suite runs under xvfb-run, so GL and window tests always have a display;
# they must fail, never skip, when GL is missing.
function(orvelle_add_test folder unit)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  set(target tst_${unit})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE Qt6::Test ${T_LIBS})
  # tests/common/testsupport.h: the helpers every folder shares.
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
  target_compile_definitions(${target} PRIVATE
      ORVELLE_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
      ORVELLE_BIN_DIR="${ORVELLE_BIN_DIR}"
      ORVELLE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(${target} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${folder})
  add_test(NAME ${folder}/${unit} COMMAND ${target})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${folder}/${unit} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
