list(APPEND QUORVANE_QT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/qt_serial_control.cpp
)
