# The Debian package of the SDK: `cmake --build BUILD --target deb` makes
# BUILD/zolvane-sdk_<version>_<architecture>.deb, holding what `cmake --install` puts under
# /usr: the libraries with their versioned names, the headers, the CMake package and the
# pkg-config file, the programs, the wizard's templates, the manual pages and the
# documentation. The package's dependencies come from the libraries its files link
# (dpkg-shlibdeps), and the DejaVu fonts the font store draws with.
#
# A build for the prefix /usr is packed as it is. Any other build (the default prefix is
# /usr/local) is laid out for its prefix: the library folder is lib rather than
# lib/<multiarch>, and the programs carry a run path to it. For such a build the package
# is made by a build of its own in BUILD/deb, configured for /usr with this build's
# compilers and build type, and copied to BUILD.

set(ZOLVANE_DEB_MAINTAINER "Zolvane developers <zolvane@example.org>"
    CACHE STRING "The Debian package's maintainer (name <address>)")

find_program(ZOLV_DPKG dpkg)
set(ZOLV_DEB_ARCH "")
if(ZOLV_DPKG)
  execute_process(COMMAND ${ZOLV_DPKG} --print-architecture OUTPUT_VARIABLE ZOLV_DEB_ARCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(ZOLV_DEB_FILE zolvane-sdk_${PROJECT_VERSION}_${ZOLV_DEB_ARCH}.deb)

# The package's changelog and copyright file, in the documentation folder. The changelog's
# date is the configuration's (SOURCE_DATE_EPOCH, when set, for a reproducible package).
string(TIMESTAMP ZOLV_DEB_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND ${ZOLV_GZIP} -9 -n -f -k changelog
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/debian
  VERBATIM)
add_custom_target(deb_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${ZOLV_INSTALL_DOCDIR})
# The warnings of lintian that the package keeps, with their reasons, where lintian reads
# them: only in an installation for the system, which is what the package holds.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME zolvane-sdk)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME zolvane-sdk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZOLVANE_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "frame-based 2D multimedia engine SDK")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zolvane is an engine for interactive graphics such as games and animated
presentations: a timer runs the frame cycle, movies read from plain-text
files drive numbered sprite channels, and a view redraws the visible sprites
in z order into an off-screen 4096-colour bitmap.
.
This package holds the engine library and the handheld platform layer it
runs on, their headers, CMake package and pkg-config file; the launcher
epoc; the movie checker zolvlint, the picture tool zolvmbm and the project
tool makmake; the application wizard ZolvWizard with its templates, and the
installer ZolvInstall; with manual pages and documentation.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries (computed above), the font store draws every typeface from the
# DejaVu files and takes no other font in their place.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The libraries are in the loader's folders: the loader's cache is renewed through the
# ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

if(NOT ZOLV_DEB_ARCH)
  add_custom_target(deb
    COMMAND ${CMAKE_COMMAND} -E echo "A Debian package needs dpkg (Debian package dpkg-dev)."
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  add_custom_target(deb
    # CPack's archive writer reads file names through the locale's character set: in the
    # C locale a build folder named with letters outside ASCII cannot be packed. C.UTF-8
    # is the C locale with UTF-8 names, and every Debian system has it.
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    COMMAND ${CMAKE_COMMAND} -E echo "Debian package: ${CMAKE_BINARY_DIR}/${ZOLV_DEB_FILE}"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    USES_TERMINAL
    VERBATIM)
  # Everything the installation holds is built first.
  foreach(target Zolvane zsymbian epoc zolvlint zolvmbm makmake ZolvWizard ZolvInstall manpages deb_changelog)
    if(TARGET ${target})
      add_dependencies(deb ${target})
    endif()
  endforeach()
else()
  set(options -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER} -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
      -DZOLVANE_TESTS=OFF -DZOLVANE_BENCH=OFF -DZOLVANE_SANITIZE=OFF -DZOLVANE_FUZZ=OFF
      -DZOLVANE_WERROR=${ZOLVANE_WERROR} "-DZOLVANE_DEB_MAINTAINER=${ZOLVANE_DEB_MAINTAINER}")
  # Compiled and linked as Debian builds its packages (dpkg-buildflags, with every
  # hardening feature: stack protector, fortified functions, read-only relocations bound
  # at start).
  find_program(ZOLV_DPKG_BUILDFLAGS dpkg-buildflags)
  if(ZOLV_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                              ${ZOLV_DPKG_BUILDFLAGS} --get ${kind}
                      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                      OUTPUT_VARIABLE zolv_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endforeach()
    list(APPEND options "-DCMAKE_C_FLAGS=${zolv_CPPFLAGS} ${zolv_CFLAGS}"
         "-DCMAKE_CXX_FLAGS=${zolv_CPPFLAGS} ${zolv_CXXFLAGS}"
         "-DCMAKE_EXE_LINKER_FLAGS=${zolv_LDFLAGS}" "-DCMAKE_SHARED_LINKER_FLAGS=${zolv_LDFLAGS}"
         "-DCMAKE_MODULE_LINKER_FLAGS=${zolv_LDFLAGS}")
  endif()
  foreach(launcher CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER)
    if(${launcher})
      list(APPEND options "-D${launcher}=${${launcher}}")
    endif()
  endforeach()
  add_custom_target(deb
    COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${CMAKE_BINARY_DIR}/deb -G ${CMAKE_GENERATOR} ${options}
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR}/deb --target deb
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/deb/${ZOLV_DEB_FILE} ${CMAKE_BINARY_DIR}/${ZOLV_DEB_FILE}
    COMMAND ${CMAKE_COMMAND} -E echo "Debian package: ${CMAKE_BINARY_DIR}/${ZOLV_DEB_FILE}"
    USES_TERMINAL
    VERBATIM)
endif()
