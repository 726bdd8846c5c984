# SPDX-License-Identifier: GPL-3.0-or-later
# systemd units name the installed programs by absolute path. They are made
# when installing, from the prefix of that installation, so that
# `cmake --install build --prefix /usr` gives units that name /usr/bin, not
# the prefix the build was configured with. DESTDIR is honoured as usual.
#
# The unit folders are below the prefix unless given as absolute paths; a
# distribution package passes what `pkg-config --variable=systemdsystemunitdir
# systemd` (and systemduserunitdir) answers there.
set(OSTRIVANE_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING "Where system units are installed")
set(OSTRIVANE_SYSTEMD_USER_UNIT_DIR lib/systemd/user CACHE STRING "Where user units are installed")

# ostrivane_install_unit(TEMPLATE DESTINATION): TEMPLATE (a file below
# resources/systemd) with @OSTRIVANE_CLI_PATH@ and @OSTRIVANE_HELPER_PATH@
# replaced, installed into DESTINATION below the prefix.
function(ostrivane_install_unit template destination)
  get_filename_component(name ${template} NAME)
  set(staged ${CMAKE_BINARY_DIR}/install-units/${destination})
  install(CODE "
    set(_bindir \"${CMAKE_INSTALL_BINDIR}\")
    set(_libexecdir \"${CMAKE_INSTALL_LIBEXECDIR}\")
    foreach(_dir _bindir _libexecdir)
      if(NOT IS_ABSOLUTE \"\${\${_dir}}\")
        set(\${_dir} \"\${CMAKE_INSTALL_PREFIX}/\${\${_dir}}\")
      endif()
    endforeach()
    set(OSTRIVANE_CLI_PATH \"\${_bindir}/ostrivane-cli\")
    set(OSTRIVANE_HELPER_PATH \"\${_libexecdir}/ostrivane/ostrivane-smart-helper\")
    configure_file(\"${template}\" \"${staged}/${name}\" @ONLY)
    set(_destination \"${destination}\")
    if(NOT IS_ABSOLUTE \"\${_destination}\")
      set(_destination \"\${CMAKE_INSTALL_PREFIX}/\${_destination}\")
    endif()
    file(INSTALL DESTINATION \"\${_destination}\" TYPE FILE
      FILES \"${staged}/${name}\")
  ")
endfunction()
