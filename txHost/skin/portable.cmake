# Portable sources of the skin engine (no windows.h): the OSD palette and its quantiser.
target_sources(txPortable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OsdPalette.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OsdQuantiser.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PictureScale.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinAttributes.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/MenuGeometry.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinProgramCommand.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinListModel.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/StatusIndicators.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TextLayout.cpp)
target_sources(txPortable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SkinShapeGeometry.cpp)
