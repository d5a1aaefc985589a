target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ini_file_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ini_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_choice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_map.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profile_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profile_value.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp
)
