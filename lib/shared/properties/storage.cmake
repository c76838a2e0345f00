# The property storage in the edit-time data and the value objects handed to
# the host: platform-free, both builds.
target_sources(kvor_sdk PRIVATE properties/prop_values.cpp properties/storage.cpp)
