# Desktop integration and the Debian package.
install(FILES share/applications/tarmelo.desktop DESTINATION share/applications)
install(DIRECTORY share/icons/ DESTINATION share/icons)
install(FILES share/metainfo/tarmelo.metainfo.xml DESTINATION share/metainfo)
install(FILES LICENSE DESTINATION share/doc/tarmelo RENAME copyright)

set(CPACK_PACKAGE_NAME tarmelo)
set(CPACK_PACKAGE_VERSION 3.70)
set(CPACK_PACKAGE_VENDOR "Kelvard")
set(CPACK_PACKAGE_CONTACT "Kelvard <info@kelvard.de>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Fahrzeugbestand für den Marktplatz Karvento pflegen")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon theme the tool bars fall back to when the desktop sets none; libcurl, libzip and libcrypto, which are
# opened at run time and so escape the library scan; Qt's German texts for its own dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "adwaita-icon-theme, hicolor-icon-theme, libcurl4, libzip4, libssl3, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kelvard.de/tarmelo.php")
include(CPack)
