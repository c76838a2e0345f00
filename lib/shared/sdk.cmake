# The SDK object, its records and the language choice (`kvor_sdk`), in both
# builds: natively with portable stand-ins for the library's name, settings
# file and icon; in win32 with the description lookup and the host's surfaces.
add_library(kvor_sdk STATIC
  dispatch.cpp
  edit_data_size.cpp
  fetch_plan.cpp
  host_version.cpp
  language.cpp
  runtime.cpp
  sdk.cpp
  settings_file.cpp)
target_include_directories(kvor_sdk PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(kvor_sdk PUBLIC kvor_core kvor_json)

if(WIN32)
  target_sources(kvor_sdk PRIVATE
    description.cpp icon_win32.cpp module_win32.cpp settings_file_win32.cpp)
  target_link_libraries(kvor_sdk PUBLIC plenarcore)
else()
  target_sources(kvor_sdk PRIVATE icon_native.cpp module_native.cpp settings_file_native.cpp)
endif()
include(records.cmake)
include(menus.cmake)
include(debugger.cmake)
include(properties/descriptors.cmake)
include(properties/storage.cmake)
