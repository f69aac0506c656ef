# What the program installs besides itself, and the Debian package made of it (`cpack -G DEB` in the build folder).
#
# The installed tree: the program in bin/, its delivered files (skins, notices, help pages) in share/tovrin35/, which
# the program finds relative to its own folder, and the desktop's files (entry, icons, AppStream metainfo).
# An installed program keeps its data in the user's data folder, never in the installed tree.

set(T35_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/tovrin35")

install(FILES ${T35_NOTICE_FILES} DESTINATION ${T35_DATA_INSTALL_DIR}/notices)
# Help pages, when the sources carry them.
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/help)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/help/ DESTINATION ${T35_DATA_INSTALL_DIR}/help)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/resources/tovrin35.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${T35_APP_ID}.desktop)
configure_file(${CMAKE_SOURCE_DIR}/resources/tovrin35.metainfo.xml ${CMAKE_BINARY_DIR}/${T35_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${T35_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/tovrin35.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNGs are rendered from the SVG by scripts/render-icons and kept with the sources.
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}/tovrin35.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The questionnaire service for examinees' phones as a system service; installed, never enabled by the package
# (README says how to enable it).
install(FILES ${CMAKE_SOURCE_DIR}/resources/tovrin35-serve.service DESTINATION lib/systemd/system)

set(CPACK_PACKAGE_NAME "tovrin35")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Tovrin35")
set(CPACK_PACKAGE_CONTACT "Tovrin35 <tovrin35@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Marital satisfaction questionnaire for counselling clinics (Persian)")
set(CPACK_PACKAGE_DESCRIPTION "Registers examinees, gives them a 35-item marital satisfaction questionnaire\n\
in Persian, scores it on four scales, draws a chart of the results and prints\n\
reports. The interface is Persian and right to left, with Solar Hijri dates;\n\
the data stays in one file in the user's data folder.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tovrin35_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The libraries the program links are found by dpkg-shlibdeps; what Qt loads at run time (the SQLite and PostgreSQL
# drivers, the platform plugins, the Persian translation of the standard boxes) is not, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, qt6-translations-l10n, libsodium23")
# Files of the package only, never the system's folders themselves.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
