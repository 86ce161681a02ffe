# Portable sources of the device layer (no windows.h): the MPEG-4 intra-frame encoder.
target_sources(txPortable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BitWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mpeg4BlockKernels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mpeg4BlockKernelsSse2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mpeg4IntraEncoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mpeg4IntraMacroblock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mpeg4Vlc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureConversion.cpp)
