# What `cmake --install` puts under the prefix: the programs, the client
# libraries for C and C++ programs outside the tree (headers, CMake package
# and pkg-config files), the Python package with its ravlon-send launcher,
# the manual pages and the licence.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS ravlon ravlon-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(TARGETS ravlonc ravlonclient EXPORT ravlonTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(RAVLON_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ravlon)
install(EXPORT ravlonTargets NAMESPACE ravlon:: DESTINATION ${RAVLON_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ravlonConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES cmake/ravlonConfig.cmake ${CMAKE_BINARY_DIR}/ravlonConfigVersion.cmake
  DESTINATION ${RAVLON_CMAKE_DIR})
# ravlon.pc for C (libravlon), ravlon-client.pc for C++ (on top of it).
foreach(pc ravlon ravlon-client)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# Debian's python3 finds packages of the prefix /usr in
# lib/python3/dist-packages, and under any other prefix (/usr/local) in
# lib/python3.X/dist-packages of its own version.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(RAVLON_PYTHON_DIR lib/python3/dist-packages)
else()
  execute_process(
    COMMAND /usr/bin/python3 -c "import sys; print('%d.%d' % sys.version_info[:2])"
    OUTPUT_VARIABLE python_version OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE python_failed)
  if(python_failed)
    message(FATAL_ERROR "Debian's /usr/bin/python3 is needed to place the Python package "
      "(scripts/install-deps installs it)")
  endif()
  set(RAVLON_PYTHON_DIR lib/python${python_version}/dist-packages)
endif()
install(DIRECTORY python/ravlon DESTINATION ${RAVLON_PYTHON_DIR}
  PATTERN __pycache__ EXCLUDE PATTERN "*.pyc" EXCLUDE)
file(RELATIVE_PATH RAVLON_PYTHON_FROM_BIN
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${RAVLON_PYTHON_DIR})
configure_file(cmake/ravlon-send.in ${CMAKE_BINARY_DIR}/ravlon-send @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/ravlon-send DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages are installed compressed, as Debian keeps them; every
# function of the C interface has its name as a link to ravlon_connect(3).
set(manpages)
foreach(page ravlon.1 ravlon-send.1 ravlon-demo.1 ravlon_connect.3)
  set(gz ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/man/${page} > ${gz}
    DEPENDS man/${page} VERBATIM)
  list(APPEND manpages ${gz})
endforeach()
set(manlinks)
foreach(fn connect_keyfile resize send_rgb send_colmap show_rgb show_gray show_frame show_region set_view close
    disconnect errmsg)
  set(link ${CMAKE_BINARY_DIR}/man/ravlon_${fn}.3.gz)
  add_custom_command(OUTPUT ${link}
    COMMAND ${CMAKE_COMMAND} -E create_symlink ravlon_connect.3.gz ${link} VERBATIM)
  list(APPEND manlinks ${link})
endforeach()
add_custom_target(manpages ALL DEPENDS ${manpages} ${manlinks})
list(FILTER manpages INCLUDE REGEX "\\.1\\.gz$")
install(FILES ${manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/man/ravlon_connect.3.gz ${manlinks}
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)

# The licence in Debian's machine-readable copyright format, where Debian
# (and so the package) looks for it.
install(FILES cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
