# `cpack -G DEB` in the build tree: one Debian package of everything the
# install rules put under /usr. Its dependencies are computed from the
# binaries (dpkg-shlibdeps) plus what the programs use without linking it:
# a monospace font for the hex dump and text views, the Mesa drivers for the
# model view and the offscreen renders.
set(CPACK_PACKAGE_NAME crateward)
set(CPACK_PACKAGE_VENDOR "Crateward toolkit developers")
set(CPACK_PACKAGE_CONTACT "Crateward toolkit developers <crateward@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "archive manager, sprite and model viewers for TA modding")
# The extended description, in lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Desktop tools for the data files of the 1997 game TA, for the modders who"
    "still make units and maps for it:"
    "Crateward browses, extracts, packs and repacks the game's HPI archives;"
    "Spriteglass shows and exports GAF sprite files; Meshglass shows 3DO models."
    "The command-line tools hpi, gaf, 3do and pcx script the same engines, and"
    "file managers show thumbnails of sprites, pictures and archives.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs' own libraries, found through their $ORIGIN run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libgl1-mesa-dri")
# The completions use its helper functions.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
