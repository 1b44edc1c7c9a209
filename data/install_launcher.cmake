# Runs at install time: writes the launcher with the full path of the
# installed program (known only now, as --prefix may change it) and installs
# it. Expects VELMORA_LAUNCHER_TEMPLATE, VELMORA_LAUNCHER_OUT, VELMORA_BINDIR
# and VELMORA_APPDIR from the install code before it.
if(IS_ABSOLUTE "${VELMORA_BINDIR}")
  set(program "${VELMORA_BINDIR}/velmora")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${VELMORA_BINDIR}/velmora")
endif()

# Exec quoting of the Desktop Entry rules: the argument in double quotes with
# \ " ` $ escaped; then the escapes of a string value; a literal % doubled.
set(exec "${program}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
set(exec "\"${exec}\"")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\n" "\\n" exec "${exec}")
string(REPLACE "\t" "\\t" exec "${exec}")
string(REPLACE "\r" "\\r" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(VELMORA_EXEC "${exec}")

configure_file("${VELMORA_LAUNCHER_TEMPLATE}" "${VELMORA_LAUNCHER_OUT}" @ONLY)
if(IS_ABSOLUTE "${VELMORA_APPDIR}")
  set(appdir "${VELMORA_APPDIR}")
else()
  set(appdir "${CMAKE_INSTALL_PREFIX}/${VELMORA_APPDIR}")
endif()
file(INSTALL DESTINATION "${appdir}" TYPE FILE FILES "${VELMORA_LAUNCHER_OUT}")
