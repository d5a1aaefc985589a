target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/clone_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clone_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/error_report.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_policy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_service.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/program.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_records.cpp
)
