# The property sheet's descriptors, platform-free, in both builds.
target_sources(kvor_sdk PRIVATE ${CMAKE_CURRENT_LIST_DIR}/descriptors.cpp)
