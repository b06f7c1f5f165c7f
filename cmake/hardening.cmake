# Every protection the toolchain offers, for all but Debug builds: the
# program reads files nobody here wrote, and the scanner reads the binaries
# of plug-ins nobody here knows.
#
# On Linux the flags are those of `dpkg-buildflags` with hardening=+all where
# it is installed (stack protector, fortified functions, format checks,
# relro and immediate binding), else the same set written out below; stack
# clash and control-flow protection are added where the compiler takes them,
# as Debian 12's dpkg-buildflags does not ask for them yet. Programs are
# position independent. The Windows programs gain the stack protector and
# fortified functions, whose runtime (libssp) MinGW links in statically; its
# linker already marks them DYNAMIC_BASE, NX_COMPAT and HIGH_ENTROPY_VA.
#
# The sanitizer and fuzz builds keep their own instrumentation only, and
# _FORTIFY_SOURCE needs optimisation, so Debug builds go without.
option(VERNATTO_HARDENING "Build with the platform's hardening flags (all but Debug builds)" ON)
if(NOT VERNATTO_HARDENING OR VERNATTO_ENABLE_SANITIZERS OR VERNATTO_BUILD_FUZZER)
  return()
endif()

include(CheckCXXCompilerFlag)
set(VERNATTO_HARDENING_COMPILE_FLAGS "")
set(VERNATTO_HARDENING_LINK_FLAGS "")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  find_program(VERNATTO_DPKG_BUILDFLAGS dpkg-buildflags)
  if(VERNATTO_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                              ${VERNATTO_DPKG_BUILDFLAGS} --get ${kind}
                      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      # Only the protections: the distribution's optimisation, debug and
      # path-mapping choices stay the build type's.
      list(FILTER flags INCLUDE REGEX
           "^-(D_FORTIFY_SOURCE=.*|fstack-protector.*|fstack-clash-protection|fcf-protection.*|mbranch-protection=.*|Wformat.*|Werror=format-security|Wl,-z,.*)$")
      if(kind STREQUAL "LDFLAGS")
        list(APPEND VERNATTO_HARDENING_LINK_FLAGS ${flags})
      else()
        list(APPEND VERNATTO_HARDENING_COMPILE_FLAGS ${flags})
      endif()
    endforeach()
  else()
    set(VERNATTO_HARDENING_COMPILE_FLAGS -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2
        -fstack-protector-strong -Wformat -Werror=format-security)
    set(VERNATTO_HARDENING_LINK_FLAGS -Wl,-z,relro -Wl,-z,now)
  endif()
  # Never -z ibt or -z shstk: they would mark code as protected whether or
  # not all of it, the C library's start files included, carries the needed
  # instructions.
  # Clang takes a flag it cannot apply to the target (stack clash
  # protection for aarch64, in Zig's) with only a warning, which would fail
  # the build with -Werror: such a flag counts as not taken.
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(CMAKE_REQUIRED_FLAGS -Werror=unused-command-line-argument)
  endif()
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VERNATTO_HAVE${flag}" have)
    if(NOT flag IN_LIST VERNATTO_HARDENING_COMPILE_FLAGS)
      check_cxx_compiler_flag(${flag} ${have})
      if(${have})
        list(APPEND VERNATTO_HARDENING_COMPILE_FLAGS ${flag})
      endif()
    endif()
  endforeach()
  unset(CMAKE_REQUIRED_FLAGS)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
elseif(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(VERNATTO_HARDENING_COMPILE_FLAGS -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
  # At link time the flag brings in libssp, statically like the rest.
  set(VERNATTO_HARDENING_LINK_FLAGS -fstack-protector-strong)
endif()

list(REMOVE_DUPLICATES VERNATTO_HARDENING_COMPILE_FLAGS)
list(JOIN VERNATTO_HARDENING_COMPILE_FLAGS " " compile_flags)
list(JOIN VERNATTO_HARDENING_LINK_FLAGS " " link_flags)
message(STATUS "Hardening (all but Debug builds): compile ${compile_flags}; link ${link_flags}")
foreach(flag ${VERNATTO_HARDENING_COMPILE_FLAGS})
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
endforeach()
foreach(flag ${VERNATTO_HARDENING_LINK_FLAGS})
  add_link_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
endforeach()
