# Cross-builds the macOS programs for one architecture with Zig's clang,
# which carries macOS's C headers and libc++ (scripts/build-macos.sh installs
# the compiler and the libraries, builds both architectures and joins them):
#   cmake -S . -B build-macos/arm64 --toolchain cmake/zig-macos.cmake \
#     -DVERNATTO_ZIG=/path/to/zig -DVERNATTO_MACOS_ARCH=aarch64 \
#     -DVERNATTO_MACOS_PREFIX=/where/the/libraries/are/installed
set(CMAKE_SYSTEM_NAME Darwin)
# Compiler checks build projects of their own, which must get the same values.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES
     VERNATTO_ZIG VERNATTO_MACOS_ARCH VERNATTO_MACOS_MINIMUM VERNATTO_MACOS_PREFIX)

if(NOT VERNATTO_ZIG)
  find_program(VERNATTO_ZIG zig)
endif()
if(NOT VERNATTO_ZIG)
  message(FATAL_ERROR "zig not found: pass -DVERNATTO_ZIG=/path/to/zig")
endif()
if(NOT VERNATTO_MACOS_ARCH MATCHES "^(aarch64|x86_64)$")
  message(FATAL_ERROR "VERNATTO_MACOS_ARCH must be aarch64 or x86_64, not '${VERNATTO_MACOS_ARCH}'")
endif()
# macOS 11 is the first with Apple silicon, so both slices start there.
if(NOT VERNATTO_MACOS_MINIMUM)
  set(VERNATTO_MACOS_MINIMUM 11.0)
endif()

if(VERNATTO_MACOS_ARCH STREQUAL "aarch64")
  set(CMAKE_SYSTEM_PROCESSOR arm64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
# Zig builds libc++ for the target when a link first needs it, as optimized
# and as stripped as that link, and keeps one build for each such pair. So
# every link, CMake's own checks included, gets -O2 (the same optimization to
# Zig as the Release build's -O3) and -s: each architecture then costs one
# build of libc++, not three. Stripping must happen at the link anyway: the
# linker gives the arm64 program an ad-hoc code signature, which any later
# change to the file breaks, and macOS then kills the program. Nothing may
# touch a program after its link. (Zig 0.11's -s drops the debug information
# but keeps the symbol table, over a quarter of each program.)
set(target -target ${VERNATTO_MACOS_ARCH}-macos.${VERNATTO_MACOS_MINIMUM} -O2 -s)
set(CMAKE_C_COMPILER ${VERNATTO_ZIG} cc ${target})
set(CMAKE_CXX_COMPILER ${VERNATTO_ZIG} c++ ${target})
# Checks would otherwise build with the Debug flags, whose -g undoes -s.
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/zig-macos-rules.cmake)
# Zig's linker reads the archives, with their index, that Debian's llvm-ar writes.
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)

# Headers and libraries of the target come from the prefix where the
# libraries were installed, never from the host; pkg-config looks there only, so the host's
# lilv is not taken for a macOS one.
set(CMAKE_FIND_ROOT_PATH ${VERNATTO_MACOS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${VERNATTO_MACOS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
