# What the program installs besides itself, and the Debian package made of it (`cpack -G DEB` in the build folder).
#
# The installed tree: the program in bin/, its delivered files (skins, notices, help pages) in share/tovrin35/, which
# the program finds relative to its own folder, and the desktop's files (entry, icons, AppStream metainfo).
# An installed program keeps its data in the user's data folder, never in the installed tree.

# Who distributes the package: the Maintainer field and the changelog's signature. A distributor sets it when
# configuring (-DT35_PACKAGE_MAINTAINER="Name <address>", or the environment variable of the same name, or Debian's
# DEBFULLNAME and DEBEMAIL); the placeholder below is refused by `scripts/package --check`.
set(T35_MAINTAINER_PLACEHOLDER "Unset Maintainer <maintainer-not-set@invalid>" CACHE INTERNAL "")
if(DEFINED ENV{T35_PACKAGE_MAINTAINER} AND NOT "$ENV{T35_PACKAGE_MAINTAINER}" STREQUAL "")
    set(t35_maintainer_default "$ENV{T35_PACKAGE_MAINTAINER}")
elseif(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
    set(t35_maintainer_default "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
    set(t35_maintainer_default "${T35_MAINTAINER_PLACEHOLDER}")
endif()
set(T35_PACKAGE_MAINTAINER "${t35_maintainer_default}" CACHE STRING
    "The package's maintainer, \"Name <address>\", as the distributor signs it")
set(T35_HOMEPAGE "https://tovrin35.ir/" CACHE STRING "The program's web page, named by the package and the metainfo")

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

# What a Debian user looks for in /usr/share/doc/tovrin35 and in man: the machine-readable copyright (every licence of
# what the package holds), the changelog and the manual page in English and Persian, the last two compressed as
# Debian's policy asks (gzip -9n: no name or time inside, so two builds give the same bytes).
set(T35_DOC_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/doc/tovrin35")

configure_file(${CMAKE_SOURCE_DIR}/resources/debian/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
# Compressed when configuring, so that installing never waits on a build step; a changed source configures again.
foreach(pair "changelog:${CMAKE_BINARY_DIR}/doc/changelog"
             "tovrin35.1:${CMAKE_SOURCE_DIR}/resources/man/tovrin35.1"
             "tovrin35.fa.1:${CMAKE_SOURCE_DIR}/resources/man/tovrin35.fa.1")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 source)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${CMAKE_BINARY_DIR}/doc/${name}.gz
        RESULT_VARIABLE t35_gzip_result)
    if(NOT t35_gzip_result EQUAL 0)
        message(FATAL_ERROR "gzip could not compress ${source}")
    endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DESTINATION ${T35_DOC_INSTALL_DIR})
install(FILES ${CMAKE_BINARY_DIR}/doc/tovrin35.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/tovrin35.fa.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/fa/man1
    RENAME tovrin35.1.gz)

# The questionnaire service for examinees' phones as a system service; installed, never enabled by the package
# (README says how to enable it).
install(FILES ${CMAKE_SOURCE_DIR}/resources/tovrin35-serve.service DESTINATION lib/systemd/system)

set(CPACK_PACKAGE_NAME "tovrin35")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Tovrin35")
set(CPACK_PACKAGE_CONTACT "${T35_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${T35_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${T35_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Marital satisfaction questionnaire for counselling clinics (Persian)")
set(CPACK_PACKAGE_DESCRIPTION "Registers examinees, gives them a 35-item marital satisfaction questionnaire\n\
in Persian, scores it on four scales, draws a chart of the results and prints\n\
reports. The interface is Persian and right to left, with Solar Hijri dates;\n\
the data stays in one file in the user's data folder.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tovrin35_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The libraries the program links (libsodium among them) are found by dpkg-shlibdeps; what Qt loads at run time (the
# SQLite and PostgreSQL drivers, the platform plugins, the Persian translation of the standard boxes) is not, so it is
# named here, once: a package the scan finds is not named again.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, qt6-translations-l10n")
# Files of the package only, never the system's folders themselves.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
