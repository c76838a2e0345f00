# lumbra_test(NAME SOURCES ... LIBS ...): one GoogleTest program, registered as
# one CTest test, so that all its cases share one process (one Wine start).
function(lumbra_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()
