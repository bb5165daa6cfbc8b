# Small tools built from the Qt layer: the icon renderer the install uses, and a gallery that
# renders the custom widgets to PNG for a look without the window (built on request:
# cmake --build build --target orp_ui_gallery; run build/tools/orp_ui_gallery [dir]).
include_guard(GLOBAL)

add_executable(orp_render_icon ${PROJECT_SOURCE_DIR}/tools/render_icon.cpp)
target_link_libraries(orp_render_icon PRIVATE orp_ui)
set_target_properties(orp_render_icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

add_executable(orp_ui_gallery EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/ui_gallery.cpp)
target_link_libraries(orp_ui_gallery PRIVATE orp_ui)
set_target_properties(orp_ui_gallery PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
