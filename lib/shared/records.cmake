# The action, condition and expression records: platform-free, both builds.
target_sources(kvor_sdk PRIVATE records.cpp)
