# The scanner program: its library (everything but main) and vernatto-scan.
# LV2 plug-ins are described through lilv where it is found; the Windows
# build never meets them and goes without.
set(VERNATTO_SCAN_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VERNATTO_LV2_SOURCE ${VERNATTO_SCAN_DIR}/lv2_none.cpp)
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  # LV2 is a Linux format: there lilv is needed, elsewhere it is used if found.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    pkg_check_modules(LILV REQUIRED IMPORTED_TARGET lilv-0)
  else()
    pkg_check_modules(LILV IMPORTED_TARGET lilv-0)
  endif()
  if(LILV_FOUND)
    set(VERNATTO_LV2_SOURCE ${VERNATTO_SCAN_DIR}/lv2.cpp)
  endif()
endif()

if(WIN32)
  set(VERNATTO_SCAN_SYSTEM_SOURCE ${PROJECT_SOURCE_DIR}/src/platform/scan_system_win32.cpp)
else()
  set(VERNATTO_SCAN_SYSTEM_SOURCE ${PROJECT_SOURCE_DIR}/src/platform/scan_system_posix.cpp)
endif()

add_library(vernatto_scan_lib STATIC
  ${VERNATTO_SCAN_DIR}/options.cpp
  ${VERNATTO_SCAN_DIR}/defaults.cpp
  ${VERNATTO_SCAN_DIR}/discover.cpp
  ${VERNATTO_SCAN_DIR}/files.cpp
  ${VERNATTO_SCAN_DIR}/describe.cpp
  ${VERNATTO_SCAN_DIR}/fields.cpp
  ${VERNATTO_SCAN_DIR}/output.cpp
  ${VERNATTO_SCAN_DIR}/scanner.cpp
  ${VERNATTO_LV2_SOURCE}
  ${VERNATTO_SCAN_SYSTEM_SOURCE})
target_link_libraries(vernatto_scan_lib
  PUBLIC vernatto_scan_readers vernatto_lib
  PRIVATE vernatto_warnings)
# Debian's multiarch name: the host compiler's, or what a toolchain file sets.
if(NOT VERNATTO_MULTIARCH)
  set(VERNATTO_MULTIARCH "${CMAKE_LIBRARY_ARCHITECTURE}")
endif()
if(VERNATTO_MULTIARCH)
  set_source_files_properties(${VERNATTO_SCAN_SYSTEM_SOURCE} PROPERTIES
    COMPILE_DEFINITIONS VERNATTO_MULTIARCH="${VERNATTO_MULTIARCH}")
endif()
if(LILV_FOUND)
  target_link_libraries(vernatto_scan_lib PRIVATE PkgConfig::LILV)
endif()

add_executable(vernatto-scan ${VERNATTO_SCAN_DIR}/main.cpp)
target_link_libraries(vernatto-scan PRIVATE vernatto_scan_lib vernatto_warnings)
vernatto_windows_resources(vernatto-scan "Writes the plug-in inventory of this machine"
                           vernatto-scan.exe)
