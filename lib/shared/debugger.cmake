# The per-instance debugger items: platform-free, both builds.
target_sources(kvor_sdk PRIVATE debugger.cpp)
