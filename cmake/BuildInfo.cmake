# The version and the installation directories, handed to the sources in one
# generated header (quipular_build.h), so that project(VERSION) is the only
# place the version is written.
include(GNUInstallDirs)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quipular_build.h.in
               ${CMAKE_BINARY_DIR}/generated/quipular_build.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
