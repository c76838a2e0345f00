# plenar_host_language(TARGET [LANGUAGE]): gives a host executable string
# resource 720 holding its language id in decimal, as the real host carries
# it (1033 English by default; 1036 French, 1041 Japanese, ...).
function(plenar_host_language target)
  set(language 1033)
  if(ARGC GREATER 1)
    set(language ${ARGV1})
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_host_language.rc)
  file(WRITE ${rc}.in "STRINGTABLE\nBEGIN\n    720 \"${language}\"\nEND\n")
  configure_file(${rc}.in ${rc} COPYONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# Host executables and test programs sit beside plenarcore.dll so that Wine
# finds it when they, or a plug-in they load, import it.
function(plenar_host_executable target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
