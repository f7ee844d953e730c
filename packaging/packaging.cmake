# Installation as a desktop program (binary, menu entry, icons, AppStream metadata), the
# window icon built from the same picture, and the Debian package.
include(GNUInstallDirs)

# The reverse-domain name the desktop knows the program by: menu entry, icon and metadata.
set(TESSALY_APP_ID "org.tessaly.Tessaly")

set(TESSALY_RELEASE_DATE "2026-12-09")
set(TESSALY_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 00:00:00 +0000")
string(SUBSTRING "${TESSALY_RELEASE_DATE}" 0 4 TESSALY_RELEASE_YEAR)
set(TESSALY_CONTACT "developers@tessaly.org")
set(TESSALY_MAINTAINER "Tessaly developers <${TESSALY_CONTACT}>")
set(TESSALY_ICON_SIZES 16 24 32 48 64 128 256)

# The PNG sizes are drawn from the one SVG picture.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(TESSALY_ICON_SVG ${CMAKE_CURRENT_SOURCE_DIR}/packaging/tessaly.svg)
set(TESSALY_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(TESSALY_ICON_PNGS)
foreach(size IN LISTS TESSALY_ICON_SIZES)
  set(png ${TESSALY_ICON_DIR}/${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSALY_ICON_DIR}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${TESSALY_ICON_SVG}
    DEPENDS ${TESSALY_ICON_SVG} VERBATIM)
  list(APPEND TESSALY_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${TESSALY_APP_ID}.png)
endforeach()
qt_add_resources(tessaly "window_icon" PREFIX "/icons" BASE ${TESSALY_ICON_DIR} FILES ${TESSALY_ICON_PNGS})
target_compile_definitions(tessaly PRIVATE TESSALY_APP_ID="${TESSALY_APP_ID}" TESSALY_VERSION="${PROJECT_VERSION}")

configure_file(packaging/tessaly.desktop.in ${TESSALY_APP_ID}.desktop @ONLY)
configure_file(packaging/tessaly.metainfo.xml.in ${TESSALY_APP_ID}.metainfo.xml @ONLY)

install(TARGETS tessaly RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${TESSALY_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${TESSALY_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TESSALY_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${TESSALY_APP_ID}.svg)

# The manual page, and the copyright and compressed changelog Debian wants beside every package's files.
if(UNIX AND NOT APPLE)
  configure_file(packaging/tessaly.1.in tessaly.1 @ONLY)
  configure_file(packaging/debian-copyright.in copyright @ONLY)
  configure_file(packaging/debian-changelog.in changelog @ONLY)
  find_program(GZIP gzip REQUIRED)
  # -n leaves out the time stamp, so the same sources give the same package.
  foreach(text IN ITEMS tessaly.1 changelog)
    add_custom_command(OUTPUT ${text}.gz
      COMMAND ${GZIP} -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/${text} > ${CMAKE_CURRENT_BINARY_DIR}/${text}.gz
      DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${text})
  endforeach()
  add_custom_target(tessaly_compressed_docs ALL DEPENDS tessaly.1.gz changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tessaly.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaly)
endif()

set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "Tessaly")
set(CPACK_PACKAGE_CONTACT "${TESSALY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prepare the library of a Sony PRS-T3 e-book reader")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plugins are loaded at run time, so no library dependency names them; nor
# does any name Qt's own texts, which the window loads in Russian whatever the locale.
# libzip (zipped FB2 books, EPUB packages) and poppler's Qt binding (PDF) are named as well, though the
# linked libraries would bring them: the packages that carry them are part of what Tessaly reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, libzip4, libpoppler-qt6-3")
# The extended description; CPack puts the summary before it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessaly gathers book files (FB2, EPUB, PDF and TXT), reads their authors,
titles and covers, lets you group them into collections and writes the library
of a Sony PRS-T3 reader attached over USB: the book files, the reader's
database and a cover thumbnail for every book. A second mode loads the library
already on the reader, lets you regroup it and writes it back.")
include(CPack)
