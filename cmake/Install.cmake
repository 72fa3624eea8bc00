# Installation and the Debian packages. The program lives in bin/, the unzip
# library in a private folder it finds through a relative run path, so an
# installed tree works wherever it is unpacked. Two components: "runtime"
# (the package vantor) and "dev" (vantor-dev: header, pkg-config file and the
# unversioned library link).
get_target_property(UNZIPLIB_VERSION unziplib VERSION)
# Beside the program first, as in the build tree.
set_target_properties(vantor PROPERTIES
  INSTALL_RPATH "$ORIGIN:$ORIGIN/${VANTOR_PRIVATE_LIBDIR_FROM_BIN}")

install(TARGETS vantor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(TARGETS unziplib LIBRARY DESTINATION ${VANTOR_PRIVATE_LIBDIR}
        COMPONENT runtime NAMELINK_COMPONENT dev)
# A stripped install also drops the compilers' version notes, as Debian's
# own packaging does.
find_program(VANTOR_OBJCOPY NAMES objcopy)
if(VANTOR_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(_file \"${CMAKE_INSTALL_BINDIR}/vantor\"
                    \"${VANTOR_PRIVATE_LIBDIR}/$<TARGET_FILE_NAME:unziplib>\")
        execute_process(COMMAND \"${VANTOR_OBJCOPY}\" --remove-section=.comment
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${_file}\")
      endforeach()
    endif()" COMPONENT runtime)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/unziplib/unziplib.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantor COMPONENT dev)

# Relative to its own folder, so the file is right wherever the tree is unpacked.
file(RELATIVE_PATH VANTOR_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_SOURCE_DIR}/dist/unziplib.pc.in ${CMAKE_BINARY_DIR}/dist/unziplib.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/unziplib.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

configure_file(${CMAKE_SOURCE_DIR}/dist/vantor.desktop.in
               ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
configure_file(${CMAKE_SOURCE_DIR}/dist/metainfo.xml.in
               ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${VANTOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT runtime)

# The sizes tools/make_icon.py draws.
foreach(_size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/${_size}x${_size}/${VANTOR_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          COMPONENT runtime)
endforeach()

# The manual page and the change log, compressed the way Debian wants them:
# the most, and without a name or time stamp, so that builds repeat exactly.
configure_file(${CMAKE_SOURCE_DIR}/dist/vantor.1.in ${CMAKE_BINARY_DIR}/dist/vantor.1 @ONLY)
set(_gzipped)
foreach(_pair "${CMAKE_BINARY_DIR}/dist/vantor.1|vantor.1.gz"
              "${CMAKE_SOURCE_DIR}/dist/changelog|changelog.gz")
  string(REPLACE "|" ";" _pair "${_pair}")
  list(GET _pair 0 _from)
  list(GET _pair 1 _to)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/${_to}
                     COMMAND gzip -9 -n -c ${_from} > ${CMAKE_BINARY_DIR}/dist/${_to}
                     DEPENDS ${_from} VERBATIM)
  list(APPEND _gzipped ${CMAKE_BINARY_DIR}/dist/${_to})
endforeach()
add_custom_target(vantor_docs ALL DEPENDS ${_gzipped})
install(FILES ${CMAKE_BINARY_DIR}/dist/vantor.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
# Each package carries its own copyright file and change log.
foreach(_package runtime:vantor dev:vantor-dev)
  string(REPLACE ":" ";" _package "${_package}")
  list(GET _package 0 _component)
  list(GET _package 1 _name)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${CMAKE_BINARY_DIR}/dist/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_name} COMPONENT ${_component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VENDOR "Vantor")
# The address the about window gives; its domain is a reserved example one
# until the project has a home of its own.
set(CPACK_PACKAGE_CONTACT "Vantor team <launcher@vantor.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME vantor)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "skinned launcher for an arcade game emulator
Vantor lists the ROM sets of a ROM folder and a CD-ROM folder in one
catalogue, lets the user pick a game with an on-screen dial and starts the
neorage emulator on it. It contains no emulator and no games.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME vantor-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "vantor (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_DESCRIPTION "Vantor's unzip library - development files
The header, pkg-config file and link-time library name for programs that
extract zip archives through the unzip library Vantor ships in its private
library folder.")

# Qt, libzip, libdeflate, ISA-L and SDL2 come from the libraries the binaries really link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
