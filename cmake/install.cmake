# `cmake --install build` puts the program into one self-contained, user-writable folder, the way
# it expects to live: ORPRAM, the login launcher ORPstub and the help file side by side, and the
# cleaning log written next to them at run time. Around it: a link on PATH, a desktop entry, the
# icon in the hicolor theme and an uninstall script in the folder itself.
#
#   cmake --install build                    # into ~/.local/opt/orrindo-pro
#   cmake --install build --prefix /opt/x    # elsewhere (the folder must stay writable)
#   cmake --build build --target uninstall   # or run <prefix>/uninstall.sh
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/help.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ui_tools.cmake)

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/orrindo-pro" CACHE PATH
      "Folder that holds the program, its launcher, help and log" FORCE)
endif()
# Empty means: worked out at install time from the installing user's HOME and XDG_DATA_HOME.
set(ORP_LINK_DIR "" CACHE PATH "Folder on PATH that gets the ORPRAM link (default ~/.local/bin)")
set(ORP_DATA_HOME "" CACHE PATH
    "Data folder for the desktop entry and the icon (default $XDG_DATA_HOME or ~/.local/share)")

# The icon, rendered from the same code the window uses, at every size the theme wants.
set(ORP_ICON_NAME orrindo-pro)
set(ORP_ICON_STAGE ${CMAKE_BINARY_DIR}/icons/hicolor)
add_custom_command(
  OUTPUT ${ORP_ICON_STAGE}/256x256/apps/${ORP_ICON_NAME}.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:orp_render_icon> ${ORP_ICON_STAGE} ${ORP_ICON_NAME}
  DEPENDS orp_render_icon
  COMMENT "Rendering the program icon"
  VERBATIM)
add_custom_target(orp_icons ALL DEPENDS ${ORP_ICON_STAGE}/256x256/apps/${ORP_ICON_NAME}.png)

install(TARGETS ORPRAM ORPstub RUNTIME DESTINATION .)
install(FILES "${ORP_HELP_FILE}" DESTINATION . OPTIONAL)
# The rest depends on the prefix and the user's folders as they are when installing.
install(CODE "
  set(ORP_LINK_DIR [[${ORP_LINK_DIR}]])
  set(ORP_DATA_HOME [[${ORP_DATA_HOME}]])
  set(ORP_ICON_NAME [[${ORP_ICON_NAME}]])
  set(ORP_ICON_STAGE [[${ORP_ICON_STAGE}]])
  set(ORP_TEMPLATES [[${CMAKE_CURRENT_LIST_DIR}]])
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_desktop.cmake)

add_custom_target(uninstall
  COMMAND sh "${CMAKE_INSTALL_PREFIX}/uninstall.sh"
  COMMENT "Removing Orrindo Pro from ${CMAKE_INSTALL_PREFIX}"
  VERBATIM)

if(ORP_BUILD_TESTS)
  add_test(NAME install_round_trip
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/install_round_trip.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_COMMAND})
endif()
