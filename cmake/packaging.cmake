# What `cmake --install` puts where, and the distributables `cpack` makes
# from it: vernatto-VERSION-win64.zip from the Windows build, the .deb from
# the Linux build, vernatto-VERSION-linux-ARCH.tar.gz and an .rpm from the
# static Linux build (cmake/zig-linux-static.cmake).
#
# Every file in docs/man, docs/schema and contrib/completion is installed,
# so a new program brings its manual page, schema and completions as files
# there, with no change here.
include(cmake/papers.cmake)

if(WIN32)
  # Windows users unpack the archive and run the .exe where it lands, so the
  # program and its papers sit together at the top.
  set(VERNATTO_INSTALL_BIN .)
  set(VERNATTO_INSTALL_DOC .)
  set(VERNATTO_INSTALL_DATA .)
else()
  include(GNUInstallDirs)
  set(VERNATTO_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  set(VERNATTO_INSTALL_DOC ${CMAKE_INSTALL_DOCDIR})
  set(VERNATTO_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/vernatto)
  # Debian's zsh looks in vendor-completions for the completions of
  # packages; elsewhere, macOS, Fedora, openSUSE and below /usr/local
  # everywhere included, site-functions is the usual place.
  if(APPLE OR VERNATTO_LINUX_STATIC)
    set(zsh_folder site-functions)
  else()
    set(zsh_folder vendor-completions)
  endif()
  set(VERNATTO_ZSH_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/zsh/${zsh_folder} CACHE STRING
      "Where the zsh completion functions are installed, relative to the prefix")
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The programs, here and nowhere else: every package, the Windows installer,
# the winget and Scoop manifests and the package tests take them from this
# list, which the build folder's programs.txt holds one a line.
set(VERNATTO_PROGRAMS vernatto vernatto-scan vernatto-fleet vernatto-project)
string(REPLACE ";" "\n" programs "${VERNATTO_PROGRAMS}")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/programs.txt CONTENT "${programs}\n")
install(TARGETS ${VERNATTO_PROGRAMS} RUNTIME DESTINATION ${VERNATTO_INSTALL_BIN})
# A stripped program (`cmake --install --strip`, and so every package) also
# loses the sections that only describe how it was built, as Debian's own
# packages do.
if(NOT WIN32 AND NOT APPLE AND CMAKE_STRIP)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${VERNATTO_PROGRAMS})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
                                --remove-section=.note --strip-unneeded
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VERNATTO_INSTALL_BIN}/\${program}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
endif()

install(FILES README.md DESTINATION ${VERNATTO_INSTALL_DOC})
file(GLOB VERNATTO_SCHEMAS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/schema/*.schema.json)
install(FILES ${VERNATTO_SCHEMAS} DESTINATION ${VERNATTO_INSTALL_DATA})
if(WIN32)
  install(FILES LICENSE CHANGELOG.md ${VERNATTO_PAPERS}/README.txt
          DESTINATION ${VERNATTO_INSTALL_DOC})
  install(FILES ${VERNATTO_MANUAL_PAGES} DESTINATION manual)
else()
  # The copyright file holds the licence, so the .deb leaves LICENSE out
  # (below); the other archives keep it where people look for it.
  install(FILES ${VERNATTO_PAPERS}/copyright ${VERNATTO_PAPERS}/changelog.gz
          DESTINATION ${VERNATTO_INSTALL_DOC})
  install(FILES LICENSE DESTINATION ${VERNATTO_INSTALL_DOC} COMPONENT licence)
  foreach(page ${VERNATTO_MANUAL_PAGES})
    string(REGEX MATCH "\\.([0-9])\\.gz$" section ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${CMAKE_MATCH_1})
  endforeach()
  set(completion ${PROJECT_SOURCE_DIR}/contrib/completion)
  file(GLOB bash_completions CONFIGURE_DEPENDS ${completion}/bash/*)
  file(GLOB fish_completions CONFIGURE_DEPENDS ${completion}/fish/*.fish)
  file(GLOB zsh_completions CONFIGURE_DEPENDS ${completion}/zsh/_*)
  install(FILES ${bash_completions}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES ${fish_completions} DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
  install(FILES ${zsh_completions} DESTINATION ${VERNATTO_ZSH_COMPLETION_DIR})
endif()

set(VERNATTO_HOMEPAGE "https://example.invalid/vernatto" CACHE STRING
    "The project's home page, for the .rpm (a placeholder until there is a public one)")
set(CPACK_PACKAGE_NAME vernatto)
set(CPACK_PACKAGE_VENDOR "The vernatto developers")
set(CPACK_PACKAGE_CONTACT "${VERNATTO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Makes and compares plug-in inventories and reports where they differ")
set(CPACK_PACKAGE_DESCRIPTION [[
vernatto keeps studio machines alike. vernatto-scan writes the inventory of
the audio plug-ins installed on a machine (VST2, VST3, AU, AAX, CLAP, LV2,
LADSPA and DSSI) as a JSON file, reading metadata files and binary headers
only: it never loads, links or runs a plug-in. vernatto compares the
inventories of two machines, pairs the entries that name the same plug-in
and reports every pair as a version mismatch, a timestamp mismatch or in
sync, on the console and as an HTML page.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Per generator: the .deb takes every component but LICENSE.
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack-generators.cmake.in
               ${PROJECT_BINARY_DIR}/cpack-generators.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-generators.cmake)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
elseif(VERNATTO_LINUX_STATIC)
  # The static programs (cmake/zig-linux-static.cmake) need nothing but
  # themselves: an archive for any Linux, and an .rpm for Fedora and openSUSE
  # that requires nothing.
  set(CPACK_GENERATOR TGZ RPM)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_RPM_PACKAGE_LICENSE MIT)
  set(CPACK_RPM_PACKAGE_GROUP "Applications/Multimedia")
  set(CPACK_RPM_PACKAGE_URL "${VERNATTO_HOMEPAGE}")
  set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
  set(CPACK_RPM_CHANGELOG_FILE ${VERNATTO_PAPERS}/rpm-changelog)
  # The folders that the system's own packages (filesystem, man-db, the
  # shells) own are not claimed again.
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
      /usr/share/bash-completion /usr/share/bash-completion/completions
      /usr/share/fish /usr/share/fish/vendor_completions.d
      /usr/share/zsh /usr/share/zsh/${zsh_folder}
      /usr/share/man /usr/share/man/man1)
  # The programs are stripped already, and rpmbuild's own stripping and
  # debug information do not know the other architecture.
  set(CPACK_RPM_SPEC_MORE_DEFINE "%define __os_install_post %{nil}
%define debug_package %{nil}
%define packager ${VERNATTO_PACKAGE_MAINTAINER}")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The C and C++ runtimes and the scanner's libraries; dpkg-shlibdeps names
  # the exact versions when it is installed.
  find_program(VERNATTO_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(VERNATTO_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, liblilv-0-0, libplist3")
  endif()
endif()
if(NOT CPACK_SYSTEM_NAME)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(VERNATTO_PACKAGE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
include(CPack)
