# Cross-builds fully static Linux programs for one architecture with Zig's
# clang, its musl C library and its libc++ (scripts/build-linux-static.sh
# installs the compiler, builds the libraries into a prefix and both
# architectures):
#   cmake -S . -B build-static/x86_64/build --toolchain cmake/zig-linux-static.cmake \
#     -DVERNATTO_ZIG=/path/to/zig -DVERNATTO_LINUX_ARCH=x86_64 \
#     -DVERNATTO_STATIC_PREFIX=/where/the/libraries/are/installed
# The programs have no program interpreter and need no shared library, so
# one program runs on every distribution of its architecture.
set(CMAKE_SYSTEM_NAME Linux)
# Compiler checks build projects of their own, which must get the same values.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES
     VERNATTO_ZIG VERNATTO_LINUX_ARCH VERNATTO_STATIC_PREFIX)

if(NOT VERNATTO_ZIG)
  find_program(VERNATTO_ZIG zig)
endif()
if(NOT VERNATTO_ZIG)
  message(FATAL_ERROR "zig not found: pass -DVERNATTO_ZIG=/path/to/zig")
endif()
if(NOT VERNATTO_LINUX_ARCH MATCHES "^(aarch64|x86_64)$")
  message(FATAL_ERROR "VERNATTO_LINUX_ARCH must be aarch64 or x86_64, not '${VERNATTO_LINUX_ARCH}'")
endif()
set(CMAKE_SYSTEM_PROCESSOR ${VERNATTO_LINUX_ARCH})
# cmake/packaging.cmake makes the static archive and the .rpm from this build.
set(VERNATTO_LINUX_STATIC ON)
# The scanner looks for LV2 bundles in Debian's and Ubuntu's multiarch
# folder too, which the host compiler would otherwise name.
set(VERNATTO_MULTIARCH ${VERNATTO_LINUX_ARCH}-linux-gnu CACHE STRING
    "The Debian multiarch name of the target")

# Zig builds libc++ for the target when a link first needs it, and keeps one
# build for each optimization: every link, CMake's own checks included, gets
# -O2 (the same optimization to Zig as the Release build's -O3), so each
# architecture costs one build of libc++, kept in ZIG_GLOBAL_CACHE_DIR.
# -static: musl's C library, libc++ and compiler-rt all go into the program.
set(target -target ${VERNATTO_LINUX_ARCH}-linux-musl -O2)
set(CMAKE_C_COMPILER ${VERNATTO_ZIG} cc ${target})
set(CMAKE_CXX_COMPILER ${VERNATTO_ZIG} c++ ${target})
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
# Zig's linker reads the archives that Debian's llvm-ar writes; GNU strip
# knows no aarch64 programs, llvm-strip knows both.
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)
find_program(CMAKE_STRIP NAMES llvm-strip-14 llvm-strip REQUIRED)

# Headers and libraries of the target come from the prefix where the
# libraries were installed, never from the host; pkg-config looks there only.
set(CMAKE_FIND_ROOT_PATH ${VERNATTO_STATIC_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${VERNATTO_STATIC_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
