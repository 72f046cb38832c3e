# What an installation holds besides the program, its modules and its voice
# pack (the desktop entry, the icon, the AppStream metadata, the manual page,
# the user's guide, the copyright and the changelog), and the two Debian
# packages made of it all by CPack's DEB generator (scripts/package):
# quipular, the program for one architecture, and quipular-data, the voice
# pack and the calendar data for all.
set(QUIPULAR_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(QUIPULAR_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(QUIPULAR_APPSTREAM_ID example.quipular.Quipular)

# packaging/changelog is the history: its newest entry is the package's
# version (project(VERSION) and a Debian revision), and its entries are the
# metadata's releases.
set(QUIPULAR_CHANGELOG ${QUIPULAR_PACKAGING}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUIPULAR_CHANGELOG})
execute_process(COMMAND ${Python3_EXECUTABLE} ${QUIPULAR_PACKAGING}/changelog_tool.py version
                        ${QUIPULAR_CHANGELOG}
                OUTPUT_VARIABLE QUIPULAR_PACKAGE_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${Python3_EXECUTABLE} ${QUIPULAR_PACKAGING}/changelog_tool.py releases
                        ${QUIPULAR_CHANGELOG}
                OUTPUT_VARIABLE QUIPULAR_RELEASES OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "-[^-]*$" "" upstream "${QUIPULAR_PACKAGE_VERSION}")
if(NOT upstream STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog's newest entry is ${QUIPULAR_PACKAGE_VERSION}, "
                      "not of version ${PROJECT_VERSION}: add an entry for it")
endif()
set(QUIPULAR_PACKAGE_REVISION)
if(QUIPULAR_PACKAGE_VERSION MATCHES "-([^-]+)$")
  set(QUIPULAR_PACKAGE_REVISION ${CMAKE_MATCH_1})
endif()

configure_file(${QUIPULAR_PACKAGING}/quipular.1.in ${QUIPULAR_PACKAGING_OUT}/quipular.1 @ONLY)
configure_file(${QUIPULAR_PACKAGING}/${QUIPULAR_APPSTREAM_ID}.metainfo.xml.in
               ${QUIPULAR_PACKAGING_OUT}/${QUIPULAR_APPSTREAM_ID}.metainfo.xml @ONLY)

# Manual pages and changelogs are shipped compressed, without a time stamp.
set(QUIPULAR_COMPRESSED)
# The changelog is Debian's (the packages have a Debian revision), so it
# ships as changelog.Debian.gz.
foreach(pair "quipular.1:${QUIPULAR_PACKAGING_OUT}/quipular.1"
             "changelog.Debian:${QUIPULAR_CHANGELOG}")
  string(REGEX REPLACE ":.*" "" name "${pair}")
  string(REGEX REPLACE "^[^:]*:" "" source "${pair}")
  add_custom_command(OUTPUT ${QUIPULAR_PACKAGING_OUT}/${name}.gz
                     COMMAND gzip -9n < ${source} > ${QUIPULAR_PACKAGING_OUT}/${name}.gz
                     DEPENDS ${source})
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
install(FILES ${QUIPULAR_PACKAGING}/copyright ${QUIPULAR_PACKAGING_OUT}/changelog.Debian.gz
              ${CMAKE_SOURCE_DIR}/doc/guia.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quipular)
install(FILES ${QUIPULAR_PACKAGING}/copyright ${QUIPULAR_PACKAGING_OUT}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quipular-data COMPONENT data)
# Lintian's overrides, one file a package where a tag is a false positive,
# each override with its reason.
foreach(package quipular quipular-data)
  set(component program)
  if(package STREQUAL "quipular-data")
    set(component data)
  endif()
  if(EXISTS ${QUIPULAR_PACKAGING}/${package}.lintian-overrides)
    install(FILES ${QUIPULAR_PACKAGING}/${package}.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package}
            COMPONENT ${component})
  endif()
endforeach()

# A package's binaries lose their symbols and the sections that only the
# build used, as Debian strips them (QUIPULAR_DEB_STRIP, set by
# scripts/package).
option(QUIPULAR_DEB_STRIP "Strip the installed binaries as Debian does" OFF)
if(QUIPULAR_DEB_STRIP)
  install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(GLOB modules \"\${root}/${CMAKE_INSTALL_LIBDIR}/quipular/*.so\")
    foreach(file \${root}/${CMAKE_INSTALL_BINDIR}/quipular \${modules})
      execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
                              --strip-unneeded \${file} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  " COMPONENT program)
endif()

# The Debian packages. The settings are a configuration file that an
# upgrade must not overwrite when the user changed it.
file(WRITE ${QUIPULAR_PACKAGING_OUT}/conffiles "/etc/vestra/VESTRA.INI\n")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program data)
set(CPACK_PACKAGE_NAME quipular)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUIPULAR_PACKAGE_REVISION})
set(CPACK_PACKAGE_CONTACT "Quipular developers <quipular@quipular.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES OFF)
# Installed as to /usr under DESTDIR, so that the settings go to /etc.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME quipular)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "talking RPN financial calculator for blind users
Quipular is a financial calculator worked in reverse Polish notation from
the keyboard, for blind and low-vision Portuguese speakers. Everything it
shows on its 80 by 25 text screen is also said aloud in Brazilian
Portuguese from recorded prompts, and every key is echoed by voice.
.
It computes loans, interest, cash flows, depreciation, statistics and
dates, runs in a terminal or in its own window (large, high-contrast
font, magnifier, six-key Braille typing), and has a menu, examples and
spoken lessons. It can show its lines on a Braille display through
BRLTTY and speak through speech-dispatcher.")
# The libraries it links are found by dpkg-shlibdeps; the font is not
# linked, and the voice comes from the data package of the same version.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
    "fonts-dejavu-core, quipular-data (= ${QUIPULAR_PACKAGE_VERSION})")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SUGGESTS "brltty, speech-dispatcher")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_CONTROL_EXTRA ${QUIPULAR_PACKAGING_OUT}/conffiles)

set(CPACK_DEBIAN_DATA_PACKAGE_NAME quipular-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_COMPONENT_DATA_DESCRIPTION "talking RPN financial calculator for blind users - voice and data
Quipular is a financial calculator worked in reverse Polish notation from
the keyboard, for blind and low-vision Portuguese speakers, that says
aloud everything it shows.
.
This package holds what every architecture shares: the recorded
Brazilian Portuguese prompts, the names of the characters, the number
words and the calendar tables.")
# The first packages held the voice in quipular itself.
set(CPACK_DEBIAN_DATA_PACKAGE_REPLACES "quipular (<< 1.0-1)")
set(CPACK_DEBIAN_DATA_PACKAGE_BREAKS "quipular (<< 1.0-1)")
include(CPack)
