# plenar_write_def(OUTPUT LIBRARY [ALIASES EXPORT=ROUTINE ...]): writes the
# .def file of a plug-in named LIBRARY (e.g. "Lumbra.pvx") from the export
# table of include/plenar/exports.h, so the names the host looks for are
# stated once. On the 32-bit host the stdcall exports are undecorated aliases
# of their decorated symbols (`Initialize = Initialize@8`); on x64 there is no
# decoration. An ALIASES entry exports one routine under a second name of the
# table (both must take the same arguments).
function(plenar_write_def output library)
  cmake_parse_arguments(DEF "" "" "ALIASES" ${ARGN})
  set(export_header ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../include/plenar/exports.h)
  file(READ ${export_header} header)
  string(REGEX MATCH "export_table\\[\\] = {([^;]*)};" table "${header}")
  string(REGEX MATCHALL "{\"([A-Za-z]+)\", *(-?[0-9]+)," entries "${CMAKE_MATCH_1}")
  list(LENGTH entries count)
  if(NOT count EQUAL 45)
    message(FATAL_ERROR "include/plenar/exports.h: found ${count} exports, not 45")
  endif()
  set(text "LIBRARY \"${library}\"\nEXPORTS\n")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "{\"([A-Za-z]+)\", *(-?[0-9]+)," _ "${entry}")
    set(name ${CMAKE_MATCH_1})
    set(bytes ${CMAKE_MATCH_2})
    set(routine ${name})
    foreach(alias IN LISTS DEF_ALIASES)
      if(alias MATCHES "^${name}=(.+)$")
        set(routine ${CMAKE_MATCH_1})
      endif()
    endforeach()
    if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT bytes EQUAL -1)
      string(APPEND text "    ${name} = ${routine}@${bytes}\n")
    elseif(NOT routine STREQUAL name)
      string(APPEND text "    ${name} = ${routine}\n")
    else()
      string(APPEND text "    ${name}\n")
    endif()
  endforeach()
  file(WRITE ${output}.in "${text}")
  configure_file(${output}.in ${output} COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${export_header})
endfunction()

# plenar_configure_def(INPUT OUTPUT): a hand-written .def file for both word
# sizes. In INPUT, ${stdcall_N} stands for the stdcall decoration of a
# routine taking N bytes of arguments: "@N" on the 32-bit host, nothing on x64.
function(plenar_configure_def input output)
  foreach(bytes RANGE 0 64 4)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(stdcall_${bytes} "@${bytes}")
    else()
      set(stdcall_${bytes} "")
    endif()
  endforeach()
  configure_file(${input} ${output})
endfunction()
