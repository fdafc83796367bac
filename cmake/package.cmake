# `cpack` builds zebext_<version>_<arch>.deb from the install rules: one package with
# the library, the header, zebhost, the pkg-config and CMake files and the examples,
# under /usr. dpkg-shlibdeps computes its dependencies from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zebext)
set(CPACK_PACKAGE_VENDOR zebext)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop services for a game-engine host: files, clipboard, dialogs, menus")
set(CPACK_PACKAGE_DESCRIPTION "A native extension library that a game-engine host loads and calls through 21 C
functions: file and folder services, the clipboard, launching documents, modal dialogs,
a menu bar and pop-up menus, and a modal text-editor window, on GTK 3.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "zebext developers <zebext@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
