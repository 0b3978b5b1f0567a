# The Debian package, built by CPack (scripts/package): everything
# `cmake --install` puts under the prefix, with the runtime libraries'
# packages found by dpkg-shlibdeps (X, Motif, libpng and cfitsio's
# libcfitsio10, which Save Data's FITS files need) and Python's named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravlon)
set(CPACK_PACKAGE_CONTACT "ravlon developers <ravlon@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image display server for X workstations")
# The long description, as it is to read in the package's control file.
set(CPACK_PACKAGE_DESCRIPTION "\
ravlon shows the pictures a program streams to it, exactly and fast, in a
Motif window. A program on any host opens one TCP connection to ravlon and
sends frames (RGB planes or colour-mapped indices): engineers and
scientists get a live picture of their data without linking an X library.

The package holds the ravlon server; the ravlon-send command and the
Python package ravlon, which show numpy arrays, image files and raw video
frames; the ravlon-demo client; and the client libraries for C (also
for Fortran) and C++ with their headers, CMake package, pkg-config files
and manual page.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, python3-numpy, python3-pil")
# FITS images for ravlon-send, which tells when it is missing.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-astropy")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
