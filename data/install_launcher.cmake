# Runs at install time: writes the launcher with the full path of the
# installed program (known only now, as --prefix may change it) and installs
# it. Expects VELMORA_LAUNCHER_TEMPLATE, VELMORA_LAUNCHER_WORK (a folder in
# the build tree), VELMORA_BINDIR and VELMORA_APPDIR from the install code
# before it.
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
# Installed on the system's own path, the launcher names the program as
# Debian's do; "%f" hands it the folder of "Open with".
if(program STREQUAL "/usr/bin/velmora")
  set(exec "velmora")
endif()
set(VELMORA_EXEC "${exec} %f")

# One work folder per destination, so that installs running side by side
# (a test install while a package is built) never share the written file.
string(MD5 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}|${program}")
get_filename_component(name "${VELMORA_LAUNCHER_TEMPLATE}" NAME_WLE)
set(launcher "${VELMORA_LAUNCHER_WORK}/${destination}/${name}")
configure_file("${VELMORA_LAUNCHER_TEMPLATE}" "${launcher}" @ONLY)
if(IS_ABSOLUTE "${VELMORA_APPDIR}")
  set(appdir "${VELMORA_APPDIR}")
else()
  set(appdir "${CMAKE_INSTALL_PREFIX}/${VELMORA_APPDIR}")
endif()
file(INSTALL DESTINATION "${appdir}" TYPE FILE FILES "${launcher}")
