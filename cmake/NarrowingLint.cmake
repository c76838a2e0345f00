# In the 64-bit trees, every C++ source of the project is read once more by
# clang with -Wshorten-64-to-32 as an error: a pointer carried in a 32-bit
# word works on the 32-bit host and breaks only in 64 bits, and g++ has no
# warning for the implicit narrowing. One stamp per batch of sources, remade
# when one of them or a header they include changes; part of the default build.
function(lumbra_collect_targets directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(child IN LISTS children)
    if(NOT child MATCHES "googletest")
      lumbra_collect_targets(${child} more)
      list(APPEND targets ${more})
    endif()
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(lumbra_lint_narrowing)
  find_program(LUMBRA_CLANGXX clang++)
  if(WIN32)
    set(bits ${CMAKE_SIZEOF_VOID_P})
  else()
    math(EXPR bits "${LUMBRA_NATIVE_BITS} / 8")
  endif()
  if(NOT LUMBRA_CLANGXX OR NOT bits EQUAL 8)
    return()
  endif()
  set(flags -fsyntax-only -Wno-everything -Werror=shorten-64-to-32 -std=gnu++20)
  if(WIN32)
    # clang with the mingw-w64 headers and g++'s library headers.
    file(GLOB cxx_headers /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
    list(APPEND flags --target=x86_64-w64-windows-gnu -isystem ${cxx_headers}
         -isystem ${cxx_headers}/x86_64-w64-mingw32 -isystem /usr/x86_64-w64-mingw32/include)
  endif()
  lumbra_collect_targets(${PROJECT_SOURCE_DIR} targets)
  set(stamps)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY" OR type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    set(lint_sources)
    foreach(source IN LISTS sources)
      if(NOT source MATCHES "\\.cpp$")
        continue()
      endif()
      # The win64 tree reads every source both trees share; the native one
      # only what it alone builds.
      if(NOT WIN32 AND NOT source MATCHES "_native|/fuzz/|/bench/")
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir})
      list(APPEND lint_sources ${source})
    endforeach()
    # Read in batches, as the unity build compiles them: the headers every
    # source includes are parsed once a batch instead of once a source.
    set(includes "$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>")
    set(definitions "$<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>")
    set(batch_number 0)
    while(lint_sources)
      set(batch)
      foreach(source IN LISTS lint_sources)
        list(LENGTH batch length)
        if(length EQUAL CMAKE_UNITY_BUILD_BATCH_SIZE)
          break()
        endif()
        list(APPEND batch ${source})
      endforeach()
      list(REMOVE_ITEM lint_sources ${batch})
      list(TRANSFORM batch PREPEND "#include \"" OUTPUT_VARIABLE lines)
      list(TRANSFORM lines APPEND "\"")
      list(JOIN lines "\n" lines)
      set(batch_file ${CMAKE_BINARY_DIR}/lint/${target}/batch_${batch_number}.cpp)
      file(CONFIGURE OUTPUT ${batch_file} CONTENT "${lines}\n")
      set(stamp ${batch_file}.stamp)
      add_custom_command(OUTPUT ${stamp}
        COMMAND ${LUMBRA_CLANGXX} ${flags}
                "$<$<BOOL:${includes}>:-I$<JOIN:${includes},;-I>>"
                "$<$<BOOL:${definitions}>:-D$<JOIN:${definitions},;-D>>" ${batch_file}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${batch_file} ${batch} IMPLICIT_DEPENDS CXX ${batch_file}
        COMMENT "Narrowing lint ${target} ${batch_number}" COMMAND_EXPAND_LISTS VERBATIM)
      list(APPEND stamps ${stamp})
      math(EXPR batch_number "${batch_number} + 1")
    endwhile()
  endforeach()
  add_custom_target(lint_narrowing ALL DEPENDS ${stamps})
endfunction()
