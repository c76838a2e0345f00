# kvor_add_object(NAME
#     IDENTIFIER ABCD  DESCRIPTION NAME.json  ICON NAME.png  SOURCES extension.cpp ...
#     [VERSION 1.0.0.0] [FILE_VERSION TEXT] [PRODUCT_VERSION TEXT]
#     [FILE_DESCRIPTION TEXT] [COMPANY TEXT] [COPYRIGHT TEXT])
#
# Builds NAME.pvx, an object type for Plenar, in the word size of the build
# (the 32-bit host, or the 64-bit test builds): SOURCES, the object's own
# Extension; the SDK's export glue, whose run-time part is compiled here with
# the calling folder on the include path, where it finds the object's
# `extension.h`; a .def file from the host's export table; and a resource
# script written from the arguments: the icon (KVOR 101), the description
# (KVOR 102), the string and data resources the host keeps, and the version
# information. VERSION gives the version numbers; FILE_VERSION the file's
# version text (VERSION unless given), PRODUCT_VERSION the product's
# (FILE_VERSION unless given), FILE_DESCRIPTION its description (NAME unless
# given); COMPANY and COPYRIGHT are empty unless given. IDENTIFIER is the
# object's four-character identifier, which the description's "Identifier"
# must repeat. Relative paths are taken from the calling folder. NAME.pvx is
# built at the top of the build tree, beside plenarcore.dll, and NAME is
# added to the global property KVOR_OBJECTS.
#
# Released descriptions: every VERSION.json in the folder released/ beside
# the description is one an earlier release shipped. For each, the build's
# tests judge the description against it (NAME_compat_VERSION: plenar-host
# compat, failing on any change that breaks what users saved) and have the
# built plug-in read a block saved under it (NAME_released_VERSION:
# plenar-host validate --released). Every release is kept, not only the
# latest, so a change undone and redone differently is caught too.
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/PlenarExports.cmake)

# A text as a resource script's string literal holds it.
function(kvor_rc_text out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The description's "Identifier" must be the one the build gives.
function(kvor_check_identifier name identifier description)
  if(NOT identifier MATCHES "^[ -~][ -~][ -~][ -~]$")
    message(FATAL_ERROR "kvor_add_object(${name}): IDENTIFIER \"${identifier}\" is not four ASCII characters")
  endif()
  file(READ ${description} text)
  string(REGEX MATCH "\"Identifier\"[ \t\r\n]*:[ \t\r\n]*\"([^\"]*)\"" found "${text}")
  if(NOT CMAKE_MATCH_1 STREQUAL identifier)
    message(FATAL_ERROR "kvor_add_object(${name}): ${description} gives \"Identifier\": "
                        "\"${CMAKE_MATCH_1}\", not \"${identifier}\"")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
endfunction()

function(kvor_add_object name)
  cmake_parse_arguments(OBJECT ""
    "IDENTIFIER;DESCRIPTION;ICON;VERSION;FILE_VERSION;PRODUCT_VERSION;FILE_DESCRIPTION;COMPANY;COPYRIGHT"
    "SOURCES" ${ARGN})
  foreach(required IN ITEMS IDENTIFIER DESCRIPTION ICON SOURCES)
    if(NOT OBJECT_${required})
      message(FATAL_ERROR "kvor_add_object(${name}): no ${required} given")
    endif()
  endforeach()
  if(OBJECT_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kvor_add_object(${name}): unknown arguments ${OBJECT_UNPARSED_ARGUMENTS}")
  endif()
  foreach(file IN ITEMS DESCRIPTION ICON)
    cmake_path(ABSOLUTE_PATH OBJECT_${file} BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  endforeach()
  kvor_check_identifier(${name} "${OBJECT_IDENTIFIER}" ${OBJECT_DESCRIPTION})

  if(NOT DEFINED OBJECT_VERSION)
    set(OBJECT_VERSION 1.0.0.0)
  endif()
  if(NOT OBJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "kvor_add_object(${name}): VERSION \"${OBJECT_VERSION}\" is not four numbers a.b.c.d")
  endif()
  string(REPLACE "." "," OBJECT_VERSION_NUMBERS ${OBJECT_VERSION})
  if(NOT DEFINED OBJECT_FILE_VERSION)
    set(OBJECT_FILE_VERSION ${OBJECT_VERSION})
  endif()
  if(NOT DEFINED OBJECT_PRODUCT_VERSION)
    set(OBJECT_PRODUCT_VERSION "${OBJECT_FILE_VERSION}")
  endif()
  if(NOT DEFINED OBJECT_FILE_DESCRIPTION)
    set(OBJECT_FILE_DESCRIPTION ${name})
  endif()
  set(OBJECT_NAME ${name})
  foreach(text IN ITEMS NAME ICON DESCRIPTION FILE_VERSION PRODUCT_VERSION FILE_DESCRIPTION COMPANY COPYRIGHT)
    kvor_rc_text(OBJECT_${text} "${OBJECT_${text}}")
  endforeach()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/object.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${OBJECT_DESCRIPTION};${OBJECT_ICON}")

  # Neither has anything to do that its twin does not.
  plenar_write_def(${CMAKE_CURRENT_BINARY_DIR}/${name}.def ${name}.pvx
    ALIASES ReleaseProperties=UnloadObject ContinueRunObject=PauseRunObject)

  add_library(${name} SHARED ${OBJECT_SOURCES} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/exports_runtime.cpp
              ${CMAKE_CURRENT_BINARY_DIR}/${name}.def ${rc})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".pvx"
    CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE kvor_exports kvor_sdk)
  # Only system DLLs and plenarcore.dll at run time.
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  set_property(GLOBAL APPEND PROPERTY KVOR_OBJECTS ${name})
  kvor_add_release_tests(${name} ${OBJECT_DESCRIPTION})
endfunction()

# The tests of kvor_add_object's released descriptions, run by the
# plenar-host of this build tree or, for an object type built on its own,
# of the SDK's tree that find_package(Tovrandi) found.
function(kvor_add_release_tests name description)
  cmake_path(GET description PARENT_PATH folder)
  file(GLOB released CONFIGURE_DEPENDS ${folder}/released/*.json)
  if(NOT released)
    return()
  endif()
  if(DEFINED Tovrandi_DIR)
    set(tree ${Tovrandi_DIR})
  else()
    set(tree ${CMAKE_BINARY_DIR})
  endif()
  set(host ${CMAKE_COMMAND} -E env PLENAR_BUILD=${tree}
      ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../../../host/cli/plenar-host)
  foreach(old IN LISTS released)
    cmake_path(GET old STEM LAST_ONLY version)
    add_test(NAME ${name}_compat_${version} COMMAND ${host} compat ${old} ${description})
    add_test(NAME ${name}_released_${version}
             COMMAND ${host} validate $<TARGET_FILE:${name}> --filter ^state-released$ --released ${old})
  endforeach()
endfunction()
