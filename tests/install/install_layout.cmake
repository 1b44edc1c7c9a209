# Installs the build into a temporary prefix and checks that each file lies
# where its user looks for it: the help text where the help window finds it,
# the launcher naming the installed program the way the folder entry does,
# and the icon under the name the launcher gives.
# Arguments: BUILD_DIR, PROBE, BINDIR, DATADIR.

cmake_minimum_required(VERSION 3.25)

function(fail message)
  message(FATAL_ERROR "install_layout: ${message}")
endfunction()

# The value of key in the launcher file.
function(desktop_value file key out)
  file(STRINGS "${file}" lines ENCODING UTF-8 REGEX "^${key}=")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    fail("${file}: ${count} lines for ${key}")
  endif()
  string(REGEX REPLACE "^${key}=" "" value "${lines}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

set(root "${BUILD_DIR}/install-test")
file(REMOVE_RECURSE "${root}")
# Blanks, % and $ in the prefix: the launcher must quote and escape them.
set(prefix "${root}/Velmora Pré 100%$")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  fail("cmake --install failed: ${result}")
endif()

set(bin "${prefix}/${BINDIR}")
set(share "${prefix}/${DATADIR}")
# The file list and the launcher's validity are the package test's; here
# what depends on the prefix.
set(launcher "${share}/applications/org.velmora.Velmora.desktop")

# What the installed program finds and writes, asked through its own code.
execute_process(COMMAND "${PROBE}" "${bin}" OUTPUT_VARIABLE answers RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("install_probe failed: ${result}")
endif()
string(REPLACE "\n" ";" answers "${answers}")
list(GET answers 0 help)
list(GET answers 1 linkCommand)
file(REAL_PATH "${help}" help)
file(REAL_PATH "${share}/velmora/Hilfe.txt" installedHelp)
if(NOT help STREQUAL installedHelp)
  fail("the help window would open ${help}, installed is ${installedHelp}")
endif()

desktop_value("${launcher}" Exec exec)
if(NOT exec STREQUAL linkCommand)
  fail("launcher Exec '${exec}' is not the program the folder entry starts ('${linkCommand}')")
endif()
desktop_value("${launcher}" Icon icon)
if(NOT icon STREQUAL "velmora")
  fail("launcher icon '${icon}' is not the installed velmora.svg")
endif()

file(REMOVE_RECURSE "${root}")
message(STATUS "install_layout: all files in place")
