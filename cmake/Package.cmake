# The Debian package (cpack -G DEB in the build folder; scripts/package does it all). Its dependencies come
# from the shared-library scan of the installed programs (dpkg-shlibdeps), so they follow the libraries the
# build really linked rather than a list kept by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop viewer for the installed fonts")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quillon)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillon developers <brindlewick@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.example.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop's font list and its association tools are asked for at run time, not linked.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fontconfig, shared-mime-info, desktop-file-utils, xdg-utils")
# The synopsis is the summary above; this is the text under it. One string: a CMake list would join with ";".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillon lists every installed font face by name and draws a sample of\n\
the chosen face at a chosen size, with bold, italic, strike-through and\n\
underline effects and a sample text of your own. It shows the face's traits,\n\
version and copyright notice read from the font file itself, prints sample\n\
pages, and draws every installed face in a summary window from which a book\n\
of all faces can be printed.\n\
.\n\
quillon-inspect prints the same findings on the command line.")
# Directories the package makes are world-readable whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
