# The Debian package: `cpack -G DEB` in the build folder makes
# ordevan_<version>_<architecture>.deb of what `cmake --install` installs.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ordevan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ordevan developers")
set(CPACK_PACKAGE_CONTACT "The Ordevan developers <developers@ordevan.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of the hidden settings of a DVD/CD copy program")
# Wrapped as a Debian control file wants it; "." is an empty line.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Ordevan shows the settings a DVD/CD copy program keeps in the registry"
    "but offers nowhere in its own window, page by page, each with its type,"
    "default and description, and lets you change them with an editor that"
    "fits the type. It marks what you changed, backs up before every save and"
    "can undo a save. Under Linux it edits the settings in the Wine prefix the"
    "copy program runs in, whether Wine is running or not. It speaks English"
    "and Italian."
    "."
    "The package also holds ordevanctl, a command line to list, read, change,"
    "reset, dump, load and restore the same settings from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ordevan.org)
# Depends: computed by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no link shows them: Qt's SVG image plugin draws the
# window's pictures at screen scales other than 100 % and 200 %; Qt's own
# translations put its file dialog and standard buttons in Italian; Wine runs
# the copy program whose settings are edited.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
