# The scanner's metadata readers: one small reader per format, each taking
# bytes or a stream, so that tests and the fuzzer feed them memory.
add_library(vernatto_scan_readers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/bytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elf.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elf_segments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/moduleinfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pe_version.cpp)
target_include_directories(vernatto_scan_readers PUBLIC ${PROJECT_SOURCE_DIR}/src)
# Plug-in ids are written in the library's one normal form.
target_link_libraries(vernatto_scan_readers
  PRIVATE nlohmann_json::nlohmann_json vernatto_lib vernatto_warnings)

# Property lists come from libplist, which the Windows build never needs.
if(WIN32)
  target_sources(vernatto_scan_readers PRIVATE ${CMAKE_CURRENT_LIST_DIR}/plist_none.cpp)
else()
  find_package(PkgConfig REQUIRED)
  pkg_search_module(VERNATTO_PLIST REQUIRED IMPORTED_TARGET libplist-2.0 libplist)
  target_sources(vernatto_scan_readers PRIVATE ${CMAKE_CURRENT_LIST_DIR}/plist.cpp)
  target_link_libraries(vernatto_scan_readers PRIVATE PkgConfig::VERNATTO_PLIST)
endif()
