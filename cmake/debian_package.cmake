# The Debian package, built by CPack from the install rules (scripts/package). Files made at
# configure time name CMAKE_INSTALL_PREFIX, so the package installs under that same prefix:
# configure with -DCMAKE_INSTALL_PREFIX=/usr for a package, as scripts/package does.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marrowick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the machine that builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MARROWICK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${MARROWICK_MAKER_DOMAIN}")
# The dependencies are the libraries the binary links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "snap windows into sections of a monitor
Marrowick cuts each monitor into columns or rows, with a gap between
windows. Drag a window while holding Alt and the tile under the pointer
is outlined; release, and the window is moved and resized into it.
A monitor at least 2.2 times as wide as it is tall starts with three
columns.
.
It works in X11 sessions (Xfce, MATE, Cinnamon, i3, Openbox, or GNOME
and Plasma on Xorg), not in Wayland sessions, where no program may move
other applications' windows.")

include(CPack)
