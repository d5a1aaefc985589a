target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/channel_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/readout_text.cpp
)
