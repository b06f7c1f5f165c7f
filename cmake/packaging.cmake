# What `cmake --install` puts where, and the distributables `cpack` makes
# from it: vernatto-VERSION-win64.zip from the Windows build, a .tar.gz and
# a .deb from the Linux build.
if(WIN32)
  # Windows users unpack the archive and run the .exe where it lands, so the
  # program and its papers sit together at the top.
  set(VERNATTO_INSTALL_BIN .)
  set(VERNATTO_INSTALL_DOC .)
else()
  include(GNUInstallDirs)
  set(VERNATTO_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  set(VERNATTO_INSTALL_DOC ${CMAKE_INSTALL_DOCDIR})
endif()
install(TARGETS vernatto vernatto-scan vernatto-fleet RUNTIME DESTINATION ${VERNATTO_INSTALL_BIN})
install(FILES README.md LICENSE DESTINATION ${VERNATTO_INSTALL_DOC})

set(CPACK_PACKAGE_NAME vernatto)
set(CPACK_PACKAGE_VENDOR "The vernatto developers")
set(CPACK_PACKAGE_CONTACT "The vernatto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Makes and compares plug-in inventories and reports where they differ")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR TGZ DEB)
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
