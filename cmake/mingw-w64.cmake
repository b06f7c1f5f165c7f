# Cross-builds the Windows program with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake
# When Wine is installed, the tests of that build run under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VERNATTO_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX threading flavour: the win32 one lacks std::mutex, which
# GoogleTest needs, and one runtime for program and tests keeps them alike.
set(CMAKE_C_COMPILER ${VERNATTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERNATTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VERNATTO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only: the host's
# /usr/include holds glibc headers that break MinGW's own C headers.
set(CMAKE_FIND_ROOT_PATH /usr/${VERNATTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The program must run from a bare folder: link the C++ runtime, libgcc and
# winpthreads in, so that no MinGW DLL has to travel with the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest starts the Windows programs through this wrapper, which runs them
# under Wine in the prefix the test fixture prepared.
find_program(VERNATTO_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(VERNATTO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
endif()
