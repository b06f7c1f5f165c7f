# The libraries the project readers use: expat (XML), zlib (gzip and zlib
# streams) and minizip (zip archives; it ships in zlib's sources). Builds for
# other systems make the same three imported targets from their recipes.
if(NOT TARGET vernatto_project_libraries)
  find_package(EXPAT REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_search_module(VERNATTO_MINIZIP REQUIRED IMPORTED_TARGET minizip)
  add_library(vernatto_project_libraries INTERFACE)
  target_link_libraries(vernatto_project_libraries
    INTERFACE PkgConfig::VERNATTO_MINIZIP EXPAT::EXPAT ZLIB::ZLIB)
endif()
