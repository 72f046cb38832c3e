# What an installation holds besides the program, its module and its voice
# pack (the desktop entry, the icon, the AppStream metadata, the manual page
# and the copyright), and the Debian package made of it all by CPack's DEB
# generator (scripts/package).
set(QUIPULAR_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(QUIPULAR_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(QUIPULAR_APPSTREAM_ID example.quipular.Quipular)

# The version goes into the manual page, the metadata and the changelog
# from project(VERSION) only.
configure_file(${QUIPULAR_PACKAGING}/quipular.1.in ${QUIPULAR_PACKAGING_OUT}/quipular.1 @ONLY)
configure_file(${QUIPULAR_PACKAGING}/${QUIPULAR_APPSTREAM_ID}.metainfo.xml.in
               ${QUIPULAR_PACKAGING_OUT}/${QUIPULAR_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${QUIPULAR_PACKAGING}/changelog.in ${QUIPULAR_PACKAGING_OUT}/changelog @ONLY)

# Manual pages and changelogs are shipped compressed, without a time stamp.
set(QUIPULAR_COMPRESSED)
foreach(name quipular.1 changelog)
  add_custom_command(OUTPUT ${QUIPULAR_PACKAGING_OUT}/${name}.gz
                     COMMAND gzip -9nkf ${QUIPULAR_PACKAGING_OUT}/${name}
                     DEPENDS ${QUIPULAR_PACKAGING_OUT}/${name}
                     VERBATIM)
  list(APPEND QUIPULAR_COMPRESSED ${QUIPULAR_PACKAGING_OUT}/${name}.gz)
endforeach()
add_custom_target(quipular_docs ALL DEPENDS ${QUIPULAR_COMPRESSED})

install(FILES ${QUIPULAR_PACKAGING_OUT}/quipular.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUIPULAR_PACKAGING}/quipular.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUIPULAR_PACKAGING}/quipular.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${QUIPULAR_PACKAGING_OUT}/${QUIPULAR_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUIPULAR_PACKAGING}/copyright ${QUIPULAR_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. The settings are a configuration file that an upgrade
# must not overwrite when the user changed it.
file(WRITE ${QUIPULAR_PACKAGING_OUT}/conffiles "/etc/vestra/VESTRA.INI\n")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quipular)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quipular developers <quipular@quipular.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking RPN financial calculator for blind users")
# CPack puts the summary before this, the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quipular is a financial calculator worked in reverse Polish notation from
the keyboard, for blind and low-vision Portuguese speakers. Everything it
shows on its 80 by 25 text screen is also said aloud in Brazilian
Portuguese from recorded prompts, and every key is echoed by voice.
.
It computes loans, interest, cash flows, depreciation, statistics and
dates, runs in a terminal or in its own window (large, high-contrast
font, magnifier, six-key Braille typing), and has a menu, examples and
spoken lessons.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links are found by dpkg-shlibdeps; the font is not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${QUIPULAR_PACKAGING_OUT}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed as to /usr under DESTDIR, so that the settings go to /etc.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
include(CPack)
