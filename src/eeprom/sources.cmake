target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ind_eep_rig_tamsk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parameter_dump.cpp
)
