# Cross-builds the Windows program with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake \
#     -DVERNATTO_WINDOWS_PREFIX=/where/the/libraries/are/installed
# The libraries that MinGW lacks (expat, minizip) are built from Debian's
# source packages into that prefix first (scripts/build-libraries.sh; see
# scripts/test.sh); zlib is Debian's libz-mingw-w64-dev.
# When Wine is installed, the tests of that build run under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# Compiler checks build projects of their own, which must get the same values.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VERNATTO_WINDOWS_PREFIX)

set(VERNATTO_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX threading flavour: the win32 one lacks std::mutex, which
# GoogleTest needs, and one runtime for program and tests keeps them alike.
set(CMAKE_C_COMPILER ${VERNATTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERNATTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VERNATTO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot and that prefix only:
# the host's /usr/include holds glibc headers that break MinGW's own C
# headers.
set(CMAKE_FIND_ROOT_PATH /usr/${VERNATTO_MINGW_TRIPLE} ${VERNATTO_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks in the libraries' prefix only, never at the host's .pc
# files, whose headers are the host's.
if(VERNATTO_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${VERNATTO_WINDOWS_PREFIX}/lib/pkgconfig")
else()
  set(ENV{PKG_CONFIG_LIBDIR} "/usr/${VERNATTO_MINGW_TRIPLE}/lib/pkgconfig")
endif()
set(ENV{PKG_CONFIG_PATH} "")

# The program must run from a bare folder: link the C++ runtime, libgcc and
# winpthreads in, so that no MinGW DLL has to travel with the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib likewise: its static library, not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# ctest starts the Windows programs through this wrapper, which runs them
# under Wine in the prefix the test fixture prepared.
find_program(VERNATTO_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(VERNATTO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
endif()
