# The program reads its system-wide default from the sysconfdir it was built
# for, so a package must be built for the prefix it installs to.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "configure with -DCMAKE_INSTALL_PREFIX=/usr to build the package "
                      "(this build is for ${CPACK_INSTALL_PREFIX})")
endif()
