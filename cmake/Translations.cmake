# The message catalogues: po/<language>.po compiled with msgfmt into
# locale/<language>/LC_MESSAGES/quipular.mo beside the program (where a build
# tree's program finds it) and installed under <datadir>/locale.
find_program(MSGFMT msgfmt REQUIRED)
file(GLOB QUIPULAR_PO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
set(QUIPULAR_CATALOGUES)
foreach(po ${QUIPULAR_PO_FILES})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${CMAKE_BINARY_DIR}/locale/${language}/LC_MESSAGES/quipular.mo)
  add_custom_command(OUTPUT ${mo}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/locale/${language}/LC_MESSAGES
                     COMMAND ${MSGFMT} --check -o ${mo} ${po}
                     DEPENDS ${po}
                     COMMENT "Compiling the ${language} messages"
                     VERBATIM)
  list(APPEND QUIPULAR_CATALOGUES ${mo})
  install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()
add_custom_target(quipular_translations ALL DEPENDS ${QUIPULAR_CATALOGUES})
