# The help document "Orrindo Pro.chm", compiled from docs/help by chmcmd (Debian: fp-utils) into
# the build's bin/ folder, beside ORPRAM, where the program opens it. Without chmcmd the build
# goes on without a help file and says so.
include_guard(GLOBAL)

set(ORP_HELP_FILE "${CMAKE_BINARY_DIR}/bin/Orrindo Pro.chm")
file(GLOB ORP_HELP_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
find_program(ORP_CHMCMD chmcmd)

if(ORP_CHMCMD AND EXISTS "${ORP_CHMCMD}")
  # chmcmd writes the compiled file into its working directory, next to the project file, so
  # it works on a copy of the sources rather than in the source tree.
  set(stage ${CMAKE_BINARY_DIR}/help)
  add_custom_command(
    OUTPUT "${ORP_HELP_FILE}"
    COMMAND ${CMAKE_COMMAND} -E remove_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/help ${stage}
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${ORP_CHMCMD} --verbosity 1 orrindo_pro.hhp
    COMMAND ${CMAKE_COMMAND} -E copy "${stage}/Orrindo Pro.chm" "${ORP_HELP_FILE}"
    DEPENDS ${ORP_HELP_SOURCES}
    COMMENT "Compiling the help document Orrindo Pro.chm"
    VERBATIM)
  add_custom_target(orp_help ALL DEPENDS "${ORP_HELP_FILE}")
else()
  message(STATUS "chmcmd not found (Debian package fp-utils): \"Orrindo Pro.chm\" will not be built")
  add_custom_target(orp_help
    COMMAND ${CMAKE_COMMAND} -E echo
      "chmcmd not found (install fp-utils): building without the help file Orrindo Pro.chm"
    VERBATIM)
endif()

add_dependencies(ORPRAM orp_help)
