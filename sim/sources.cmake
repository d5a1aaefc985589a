# The stand-in transceiver as a library: protocol, EEPROM image, analog model, faults, trace
# and the in-process serial control. Uses only the platform seams and hex helpers of the core.
add_library(tamskor_sim STATIC
    ${CMAKE_CURRENT_LIST_DIR}/analog_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/e8_items.cpp
    ${CMAKE_CURRENT_LIST_DIR}/loopback_serial_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/paced_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_faults.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_image.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tamskor_sim.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wire_trace.cpp
)
# Users include "sim/tamskor_sim.h".
target_include_directories(tamskor_sim PUBLIC ${PROJECT_SOURCE_DIR})
if(NOT TARGET CLI11::CLI11)  # a Windows build gives its own (cmake/windows_cross.cmake)
    find_package(CLI11 REQUIRED)
endif()
target_link_libraries(tamskor_sim PUBLIC quorvane_core PRIVATE CLI11::CLI11 quorvane_warnings)
target_compile_definitions(tamskor_sim PRIVATE QUORVANE_VERSION="${PROJECT_VERSION}")

# The command: the stand-in on a pseudo-terminal, which Windows has not.
if(NOT WIN32)
    add_executable(tamskor-sim
        ${CMAKE_CURRENT_LIST_DIR}/pty_server.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tamskor_sim_main.cpp
    )
    target_link_libraries(tamskor-sim PRIVATE tamskor_sim quorvane_warnings)
endif()
