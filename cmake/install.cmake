include(${CMAKE_CURRENT_LIST_DIR}/ui_tools.cmake)
