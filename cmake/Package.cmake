# Installation and the Debian package (scripts/package). The programs share one
# program folder that also holds Titles.ini and the manual, since each looks
# for them beside itself; the PATH gets links to them.
include(GNUInstallDirs)
# lib/, not the multiarch folder: the links in /usr/bin and the Titles.ini link name it.
set(KELVARA_PROGRAM_DIR lib/kelvara)
set(KELVARA_LINUX_DATA ${CMAKE_SOURCE_DIR}/data/linux)
set(KELVARA_APP_ID org.kelvara.Kelvara)

install(TARGETS kelvara kelvara-cli kelvara-portsetup kelvara-vadapter RUNTIME DESTINATION ${KELVARA_PROGRAM_DIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/QRT417.pdf DESTINATION ${KELVARA_PROGRAM_DIR})

# Titles.ini is the school's to edit: a conffile in /etc, kept over upgrades,
# reached from the program folder by a link (absolute, as links between top
# folders are in Debian).
install(FILES ${CMAKE_SOURCE_DIR}/data/Titles.ini DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/kelvara)
set(KELVARA_LINKS ${CMAKE_BINARY_DIR}/package-links)
file(MAKE_DIRECTORY ${KELVARA_LINKS}/bin ${KELVARA_LINKS}/program)
file(CREATE_LINK ${CMAKE_INSTALL_FULL_SYSCONFDIR}/kelvara/Titles.ini ${KELVARA_LINKS}/program/Titles.ini SYMBOLIC)
install(FILES ${KELVARA_LINKS}/program/Titles.ini DESTINATION ${KELVARA_PROGRAM_DIR})
foreach(program kelvara kelvara-cli kelvara-portsetup kelvara-vadapter)
    file(CREATE_LINK ../lib/kelvara/${program} ${KELVARA_LINKS}/bin/${program} SYMBOLIC)
    install(FILES ${KELVARA_LINKS}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.desktop ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.PortSetup.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KELVARA_LINUX_DATA}/kelvara-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kelvara.xml)
install(FILES ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/udev/69-kelvara-ds9490.rules DESTINATION lib/udev/rules.d)

# The icon's bitmap sizes, drawn from the SVG at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(KELVARA_ICONS)
foreach(size 16 24 32 48 64 128 256)
    set(icon ${CMAKE_BINARY_DIR}/icons/${size}/${KELVARA_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.svg -o ${icon}
        DEPENDS ${KELVARA_LINUX_DATA}/${KELVARA_APP_ID}.svg VERBATIM)
    list(APPEND KELVARA_ICONS ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian's documentation files: the copyright and a changelog compressed without a time stamp.
set(KELVARA_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${KELVARA_CHANGELOG}
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/data/debian/changelog > ${KELVARA_CHANGELOG}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog)
add_custom_target(kelvara_package_files ALL DEPENDS ${KELVARA_ICONS} ${KELVARA_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright ${KELVARA_CHANGELOG}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvara)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Kelvara project <maintainers@kelvara.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "classroom temperature datalogging with the DS1921 iButton")
# The synopsis line comes from the summary; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kelvara downloads, starts and charts the missions of DS1921 Thermochron\n"
    "iButton temperature loggers on a DS9490 USB or DS9097U serial 1-Wire\n"
    "adapter: status, temperature log, alarms and histogram, a wizard for new\n"
    "missions (also for a set of loggers with one start time), data files that\n"
    "reopen without the logger, reports, CSV exports and printing.\n"
    "kelvara-cli handles a whole class of data files at once. A built-in virtual\n"
    "adapter with emulated loggers lets everything be tried without hardware.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kelvara.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The manual and the web pages open through the desktop's own tools.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/data/debian/postinst ${CMAKE_SOURCE_DIR}/data/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
