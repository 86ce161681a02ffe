# Portable sources of the application core (no windows.h).
target_sources(txPortable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Actions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LogFormat.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/OsdStatus.cpp)
