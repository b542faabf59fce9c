# What `cmake --install` puts where (GNU directories) and the Debian package `cpack -G DEB`
# makes of it: the shared library, the public headers (the entry class and the C interface),
# the launcher and its man page, a pkg-config file and a CMake package with an imported target
# TarnFinGrafPromet11::TarnFinGrafPromet11.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(FINGRAF_INCLUDE_SUBDIR TarnFinGrafPromet11)
set(FINGRAF_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TarnFinGrafPromet11)

target_include_directories(TarnFinGrafPromet11 INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${FINGRAF_INCLUDE_SUBDIR}>)
set_target_properties(TarnFinGrafPromet11 PROPERTIES PUBLIC_HEADER
    "${PROJECT_SOURCE_DIR}/src/entry/cfingrafpromet.h;${PROJECT_SOURCE_DIR}/src/entry/capi.h;${PROJECT_SOURCE_DIR}/src/entry/fingraf_export.h")
# The launcher finds the library next to it wherever the tree is installed.
set_target_properties(fingraf PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

install(TARGETS TarnFinGrafPromet11 EXPORT TarnFinGrafPromet11Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${FINGRAF_INCLUDE_SUBDIR} COMPONENT development)
install(TARGETS fingraf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/app/fingraf.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)

install(EXPORT TarnFinGrafPromet11Targets NAMESPACE TarnFinGrafPromet11::
    DESTINATION ${FINGRAF_CMAKE_DIR} COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TarnFinGrafPromet11Config.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11Config.cmake INSTALL_DESTINATION ${FINGRAF_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11ConfigVersion.cmake
    DESTINATION ${FINGRAF_CMAKE_DIR} COMPONENT development)

# pkg-config: the prefix found from where the file lies, so the tree can be installed anywhere.
file(RELATIVE_PATH FINGRAF_PC_UP /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" FINGRAF_PC_UP "${FINGRAF_PC_UP}")
set(FINGRAF_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
set(FINGRAF_PC_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/${FINGRAF_INCLUDE_SUBDIR})
configure_file(${PROJECT_SOURCE_DIR}/cmake/TarnFinGrafPromet11.pc.in
    ${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TarnFinGrafPromet11.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# One Debian package with everything (library, launcher, headers, CMake and pkg-config files).
set(CPACK_PACKAGE_NAME fingraf)
set(CPACK_PACKAGE_VENDOR "Tarnel")
set(CPACK_PACKAGE_CONTACT "fingraf developers <fingraf@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Financial charts for a double-entry bookkeeping program")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The launcher needs the library of this same package, which dpkg-shlibdeps must find here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/src)
# Loaded by name at run time: the SQLite driver of Qt SQL and the fonts the charts use.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-dejavu-core")
set(CPACK_STRIP_FILES OFF)
include(CPack)
