target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/KeystrokeFlags.cpp)
