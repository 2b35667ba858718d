# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME ardesia)
set(CPACK_PACKAGE_VENDOR "Ardesia developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reversi against the computer or a friend over the network")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ardesia developers <developers@ardesia.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_PACKAGE_DESCRIPTION "Drag a disc onto the board and the computer answers at once, or play a
friend over the network through the small relay server that comes with it.")
# The dependencies are read from the programs' own library needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES TRUE)
# One package with everything, the service's settings in /etc included; an
# administrator's changes to them survive upgrades.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};service_settings;/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/conffiles)
set(CPACK_GENERATOR DEB)
include(CPack)
