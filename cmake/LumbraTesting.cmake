# lumbra_test(NAME SOURCES ... LIBS ...): one GoogleTest program, registered as
# one CTest test, so that all its cases share one process (one Wine start).
# On Windows it sits beside plenarcore.dll, which the SDK imports.
function(lumbra_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(WIN32)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()
