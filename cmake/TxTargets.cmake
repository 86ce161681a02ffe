# Common settings for every target of our own, and the test registration helper.

if(WIN32)
    # The launcher runs a Windows program in this build's Wine prefix.
    set(TX_WINERUN "${CMAKE_SOURCE_DIR}/scripts/winerun.sh")
    set(CMAKE_CROSSCOMPILING_EMULATOR "${TX_WINERUN};${CMAKE_BINARY_DIR}")
endif()

option(TX_SANITIZE "Build the native tree with ASan and UBSan" ON)

# Flags of our own code: warnings are errors; Unicode everywhere on Windows.
function(tx_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter
                                             -Wno-missing-field-initializers)
    if(WIN32)
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                                                     NOMINMAX STRSAFE_NO_DEPRECATE
                                                     _WIN32_WINNT=0x0601 WINVER=0x0601)
        # Static runtime: neither Wine nor Windows needs libstdc++ or winpthread DLLs.
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    elseif(TX_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                                 -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# tx_add_test(<name> SOURCES ... [LIBS ...] [PORTABLE] [WIN32_GUI])
#  One executable per area, run whole (one Wine process per executable).
#  PORTABLE tests build in both trees; the others only in the Windows tree.
function(tx_add_test name)
    cmake_parse_arguments(T "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
    if(NOT WIN32 AND NOT T_PORTABLE)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    tx_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tx_gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 180)
endfunction()

# tx_add_host_library(<name> <sources...>): a subsystem library of txHost.
function(tx_add_host_library name)
    add_library(${name} STATIC ${ARGN})
    tx_target_defaults(${name})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC comkit)
    set_property(GLOBAL APPEND PROPERTY TX_HOST_LIBRARIES ${name})
endfunction()
