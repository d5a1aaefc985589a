target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/channel_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter_sweep.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ind_op_events.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ind_op_readouts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ind_op_reset.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ind_op_special.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ind_op_task.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lva_adjust.cpp
    ${CMAKE_CURRENT_LIST_DIR}/readout_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/readout_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rssi_capture.cpp
)
