# Installation and the Debian package. The program lives in bin/, the unzip
# library in a private folder it finds through a relative run path, so an
# installed tree works wherever it is unpacked.
get_target_property(UNZIPLIB_VERSION unziplib VERSION)
# Beside the program first, as in the build tree.
set_target_properties(vantor PROPERTIES
  INSTALL_RPATH "$ORIGIN:$ORIGIN/${VANTOR_PRIVATE_LIBDIR_FROM_BIN}")

install(TARGETS vantor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS unziplib LIBRARY DESTINATION ${VANTOR_PRIVATE_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/unziplib/unziplib.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantor)

# Relative to its own folder, so the file is right wherever the tree is unpacked.
file(RELATIVE_PATH VANTOR_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_SOURCE_DIR}/dist/unziplib.pc.in ${CMAKE_BINARY_DIR}/dist/unziplib.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/unziplib.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

configure_file(${CMAKE_SOURCE_DIR}/dist/vantor.desktop.in
               ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/dist/metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The sizes tools/make_icon.py draws.
foreach(_size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/${_size}x${_size}/${VANTOR_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VENDOR "Vantor")
set(CPACK_PACKAGE_CONTACT "Vantor developers <vantor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Skinned launcher for an arcade game emulator")
set(CPACK_PACKAGE_DESCRIPTION
    "Lists the ROM sets of a ROM folder and a CD-ROM folder in one catalogue, lets the user pick a game with an on-screen dial and starts the emulator on it.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt, libzip, libdeflate and SDL2 come from the libraries the binaries really link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
