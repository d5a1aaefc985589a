target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/record_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_record_html.cpp
    ${CMAKE_CURRENT_LIST_DIR}/service_session.cpp
)
