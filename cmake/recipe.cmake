# What every recipe under cmake/LIBRARY/ shares: where its sources are, their
# version, and the pkg-config file it installs beside its static library, so
# that the program's build finds the library through pkg-config as it finds
# the system's copy. A library another one needs is
# named in Requires (not Requires.private), so that the plain query the
# program's build makes already gives every archive to link, in order.
#
#   vernatto_install_pkg_config(NAME VERSION DESCRIPTION
#                               [LIBS -lname...] [CFLAGS flags...] [REQUIRES pc...])
include(GNUInstallDirs)
function(vernatto_install_pkg_config name version description)
  cmake_parse_arguments(arg "" "" "LIBS;CFLAGS;REQUIRES" ${ARGN})
  list(JOIN arg_LIBS " " libs)
  list(JOIN arg_CFLAGS " " cflags)
  list(JOIN arg_REQUIRES " " requires)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc)
  file(WRITE ${file}
"prefix=${CMAKE_INSTALL_PREFIX}
libdir=\${prefix}/${CMAKE_INSTALL_LIBDIR}
includedir=\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}

Name: ${name}
Description: ${description} (static, built from source)
Version: ${version}
Requires: ${requires}
Libs: -L\${libdir} ${libs}
Cflags: ${cflags}
")
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# The version a source tree states in a file, as the first group of `regex`.
function(vernatto_source_version variable file regex)
  file(STRINGS ${file} lines REGEX "${regex}")
  if(NOT lines MATCHES "${regex}")
    message(FATAL_ERROR "No version in ${file}")
  endif()
  set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# The unpacked source tree of `name`, given as -DVERNATTO_<NAME>_SOURCE, which
# must hold the file `marker`: sets `source`.
macro(vernatto_recipe_source name marker)
  string(TOUPPER ${name} upper)
  set(VERNATTO_${upper}_SOURCE "" CACHE PATH "The unpacked ${name} sources")
  set(source ${VERNATTO_${upper}_SOURCE})
  if(NOT EXISTS ${source}/${marker})
    message(FATAL_ERROR "No ${name} sources in '${source}': pass -DVERNATTO_${upper}_SOURCE")
  endif()
endmacro()
