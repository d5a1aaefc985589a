target_sources(quorvane_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/cmc_tick.cpp
    ${CMAKE_CURRENT_LIST_DIR}/port_form.cpp
)
