target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/byte_string.cpp
    ${CMAKE_CURRENT_LIST_DIR}/line_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_error.cpp
)
target_sources(quorvane_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/number_format.cpp)
