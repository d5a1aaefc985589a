target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/backup_store.cpp
    ${CMAKE_CURRENT_LIST_DIR}/crc32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_compare.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_file_io.cpp
)
