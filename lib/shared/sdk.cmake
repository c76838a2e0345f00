# The SDK object and the language choice (`kvor_sdk`, both builds, with
# portable stand-ins for the library's name and settings file natively), and
# the Windows-only description lookup (`kvor_win`).
add_library(kvor_sdk STATIC
  language.cpp
  sdk.cpp
  settings_file.cpp)
target_include_directories(kvor_sdk PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(kvor_sdk PUBLIC kvor_core kvor_json)

if(WIN32)
  target_sources(kvor_sdk PRIVATE module_win32.cpp settings_file_win32.cpp)
  add_library(kvor_win STATIC description.cpp)
  target_link_libraries(kvor_win PUBLIC kvor_sdk)
else()
  target_sources(kvor_sdk PRIVATE module_native.cpp settings_file_native.cpp)
endif()
