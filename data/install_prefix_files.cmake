# Run at install time: the login entry goes to the sysconfdir of the prefix
# installed to, and the user unit names the program there, so that
# `cmake --install --prefix` and the package each get their own.
# GNUInstallDirs puts the sysconfdir of /usr at /etc.
set(prefix "${CMAKE_INSTALL_PREFIX}")
set(etc "${KESROW_SYSCONFDIR}")
if(NOT IS_ABSOLUTE "${etc}")
  if(prefix STREQUAL "/usr")
    set(etc "/${etc}")
  else()
    set(etc "${prefix}/${etc}")
  endif()
endif()
set(BINDIR "${KESROW_BINDIR}")
if(NOT IS_ABSOLUTE "${BINDIR}")
  set(BINDIR "${prefix}/${BINDIR}")
endif()

if(KESROW_LOGIN_ENTRY)
  file(INSTALL DESTINATION "${etc}/xdg/autostart" TYPE FILE RENAME kesrow.desktop
       FILES "${KESROW_DATA_DIR}/kesrow-autostart.desktop")
endif()
set(SYSCONFDIR "${etc}")
configure_file("${KESROW_DATA_DIR}/kesrow-console.service.in" "${KESROW_BUILD_DIR}/kesrow-console.service" @ONLY)
# systemd looks for user units in <prefix>/lib, never in a multiarch libdir.
file(INSTALL DESTINATION "${prefix}/lib/systemd/user" TYPE FILE
     FILES "${KESROW_BUILD_DIR}/kesrow-console.service")
