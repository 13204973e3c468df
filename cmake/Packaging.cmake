# Debian packages: the `packages` target (cpack) makes, in build/packages, brisko_VERSION_amd64.deb
# (the console, brisko-admin and the installer) and tamblo_VERSION_amd64.deb
# (the station client beside its task-key library, run by its system service).
if(NOT (TARGET brisko AND TARGET brisko-admin AND TARGET tamblo AND TARGET tamblo_supervisor AND TARGET tamblo_setup
        AND TARGET Hushtab
        AND TARGET installer))
  message(STATUS "Debian packages: not every program is built; cpack is not set up")
  return()
endif()

include(GNUInstallDirs)
# cpack installs the packaged programs only, without building the whole tree
# first; the `packages` target below builds what goes in and then runs cpack.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(staged ${PROJECT_BINARY_DIR}/packaging)
find_program(GZIP_PROGRAM gzip REQUIRED)

# brisko: the console and its tools in /usr/bin.
install(TARGETS brisko brisko-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT brisko)
# A bare "installer" in /usr/bin would be a name for the whole system to share.
install(PROGRAMS $<TARGET_FILE:installer> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME brisko-installer
        COMPONENT brisko)
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/brisko-installer\")" COMPONENT brisko)
install(FILES ${packaging}/brisko.desktop ${packaging}/brisko-installer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT brisko)

# tamblo loads libHushtab.so from its own folder, so both live in /usr/libexec/tamblo
# (a private folder: the library is nobody else's and needs no ldconfig run);
# /usr/bin/tamblo is a link to it (the program follows the link to find its folder).
install(TARGETS tamblo RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tamblo COMPONENT tamblo)
# The supervisor that the autostart entry runs starts the tamblo beside it.
install(TARGETS tamblo_supervisor RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tamblo COMPONENT tamblo)
install(TARGETS Hushtab LIBRARY DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tamblo COMPONENT tamblo NAMELINK_SKIP)
file(MAKE_DIRECTORY ${staged})
file(MAKE_DIRECTORY ${staged}/bin)
file(CREATE_LINK ../${CMAKE_INSTALL_LIBEXECDIR}/tamblo/tamblo ${staged}/bin/tamblo SYMBOLIC)
install(FILES ${staged}/bin/tamblo DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tamblo)
# No menu entry for tamblo: a locker started from the menu would run beside the
# supervised one, unsupervised. The station's lock is a system service: the
# supervisor runs as root, tamblo under the service account "tamblo".
install(FILES ${packaging}/tamblo/tamblo.service DESTINATION /lib/systemd/system COMPONENT tamblo)
# The owner's root command for the station's settings.
install(TARGETS tamblo_setup RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT tamblo)

# Icons, manual pages, copyright and changelog of each package.
set(compressed)
foreach(program brisko tamblo)
  install(FILES ${packaging}/icons/${program}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          COMPONENT ${program})
  foreach(size 16 32 48 64 128 256)
    install(FILES ${packaging}/icons/${program}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${program}.png
            COMPONENT ${program})
  endforeach()
  install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${program} COMPONENT ${program})
  set(PACKAGE ${program})
  set(VERSION ${PROJECT_VERSION})
  # The changelog's date in the form Debian wants, from the one release date.
  execute_process(COMMAND date -u -R -d "${BRISKO_RELEASE_DATE} 12:00" OUTPUT_VARIABLE CHANGELOG_DATE
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  configure_file(${packaging}/changelog.in ${staged}/${program}/changelog @ONLY)
  add_custom_command(OUTPUT ${staged}/${program}/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9nkf ${staged}/${program}/changelog
    DEPENDS ${staged}/${program}/changelog)
  list(APPEND compressed ${staged}/${program}/changelog.gz)
  install(FILES ${staged}/${program}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${program}
          COMPONENT ${program})
endforeach()
foreach(page brisko.1 brisko-admin.1 brisko-installer.1 tamblo.1 tamblo-setup.8)
  set(component brisko)
  if(page MATCHES "^tamblo")
    set(component tamblo)
  endif()
  string(REGEX REPLACE ".*\\." "" section ${page})
  # The page's date and version from the one place in the build.
  configure_file(${packaging}/man/${page} ${staged}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${staged}/man/${page}.gz
    COMMAND ${GZIP_PROGRAM} -9nc ${staged}/man/${page} > ${staged}/man/${page}.gz
    DEPENDS ${staged}/man/${page})
  list(APPEND compressed ${staged}/man/${page}.gz)
  install(FILES ${staged}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endforeach()
# The README and the owner's guide with the console, the README with the station;
# the console also gets the example cafe to start from or compare with.
foreach(document README.md docs/owner-guide.md)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT ${staged}/doc/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${staged}/doc
    COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/${document} > ${staged}/doc/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${document})
  list(APPEND compressed ${staged}/doc/${name}.gz)
  install(FILES ${staged}/doc/${name}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brisko COMPONENT brisko)
endforeach()
install(FILES ${staged}/doc/README.md.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tamblo COMPONENT tamblo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/cafe DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brisko/examples
        COMPONENT brisko)
add_custom_target(package_files ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brisko developers")
set(CPACK_PACKAGE_CONTACT "${BRISKO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL brisko tamblo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_BRISKO_PACKAGE_NAME brisko)
set(CPACK_DEBIAN_TAMBLO_PACKAGE_NAME tamblo)
set(CPACK_DEBIAN_BRISKO_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_TAMBLO_PACKAGE_SECTION misc)
# The owner's answers at installation (debconf), the service account (adduser)
# and the service's enabling (init-system-helpers).
set(CPACK_DEBIAN_TAMBLO_PACKAGE_DEPENDS "debconf (>= 0.5) | debconf-2.0, adduser, init-system-helpers (>= 1.54~)")
set(CPACK_DEBIAN_TAMBLO_PACKAGE_CONTROL_EXTRA
    ${packaging}/tamblo/config ${packaging}/tamblo/templates ${packaging}/tamblo/postinst
    ${packaging}/tamblo/prerm ${packaging}/tamblo/postrm)
set(CPACK_COMPONENT_BRISKO_DESCRIPTION "cafe counter console
Brisko runs a small cafe's stations from the counter computer: it starts,
stops and moves timed sessions, charges access time from a table of rates,
adds sale items and printed pages to the bills, takes payment and prints
receipts. The package also holds brisko-admin, a read-only view of the
console's data files, and brisko-installer, a setup wizard.")
set(CPACK_COMPONENT_TAMBLO_DESCRIPTION "cafe station client
Tamblo locks a cafe station until the counter console starts a session, then
shows the running time and charges. It runs as a system service on the
seat's X11 display, out of the customers' reach, and can end the customers'
programs and restore their home folder after each session.")
include(CPack)

add_custom_target(packages
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake -B ${PROJECT_BINARY_DIR}/packages
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  COMMENT "Debian packages in ${PROJECT_BINARY_DIR}/packages"
  VERBATIM)
add_dependencies(packages brisko brisko-admin tamblo tamblo_supervisor tamblo_setup Hushtab installer package_files)
