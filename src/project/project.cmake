# The project program's library.
set(VERNATTO_PROJECT_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(vernatto_project_lib STATIC
  ${VERNATTO_PROJECT_DIR}/matching.cpp)
target_link_libraries(vernatto_project_lib
  PUBLIC vernatto_daw_lib vernatto_fleet_lib
  PRIVATE vernatto_warnings)
