# quorvane_qt_serial: the serial control, the port enumeration, where the settings file and the
# user's data live, the QString conversions and the command-line parsing, on Qt Core and
# QSerialPort only (no file here includes a Widgets or Gui header).
list(APPEND QUORVANE_QT_SERIAL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/qt_port_enumeration.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_serial_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_location.cpp
)
# quorvane_qt: the main window's widgets, the UI seams on them, the curves window and its
# chart, the application helpers and the desktop program around the core.
list(APPEND QUORVANE_QT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/curve_chart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_curves_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_file_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_key_codes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_menu_right_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_message_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_platform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_port_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_program.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_screen.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_widgets.cpp
)
