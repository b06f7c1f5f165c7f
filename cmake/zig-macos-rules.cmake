# Read after CMake's own rules for Apple's clang (see zig-macos.cmake): Zig's
# linker refuses the -v that CMake passes to learn the compiler's defaults.
set(CMAKE_C_VERBOSE_FLAG "-v")
set(CMAKE_CXX_VERBOSE_FLAG "-v")
