target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/common.cpp
    ${CMAKE_CURRENT_LIST_DIR}/eeprom.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_driver_rx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_driver_tx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/radio.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sequencer.cpp
)
