# The editor's texts (platform-free, both builds) and the editor menus (real
# Windows menus, win32 only).
target_sources(kvor_sdk PRIVATE ace_texts.cpp)
if(WIN32)
  target_sources(kvor_sdk PRIVATE menus.cpp)
  target_link_libraries(kvor_sdk PUBLIC user32)
endif()
