# What a Windows build made on Linux needs beyond its compiler: the host's GoogleTest
# libraries cannot link into a Windows program, and the host's /usr/include cannot be searched
# (its C library headers would shadow MinGW's), so GoogleTest is built from Debian's sources
# and CLI11, headers only, gets an include directory of its own.

if(QUORVANE_BUILD_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(lib gtest gtest_main gmock gmock_main)
        if(NOT TARGET GTest::${lib})
            add_library(GTest::${lib} ALIAS ${lib})
        endif()
    endforeach()
endif()

find_file(QUORVANE_CLI11_HEADER CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(cli11_dir ${QUORVANE_CLI11_HEADER} DIRECTORY)
file(COPY ${cli11_dir} DESTINATION ${CMAKE_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11)

# Each test runs under Wine in a prefix of this build's own, made by the first test.
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
