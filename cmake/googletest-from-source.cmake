# GoogleTest for a cross build: Debian's libgtest-dev holds host libraries
# only, so the tests' copy is compiled from the sources of the googletest
# package, with the same compiler as the program.
set(VERNATTO_GTEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${VERNATTO_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${VERNATTO_GTEST_SOURCE}: "
                      "install the googletest package")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Only what the tests link is built, and nothing of it is installed.
add_subdirectory(${VERNATTO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest_main)  # recent releases define it themselves
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
