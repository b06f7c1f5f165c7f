# The project-file readers: what each host's format says a project uses.
set(VERNATTO_DAW_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(vernatto_daw_lib STATIC
  ${VERNATTO_DAW_DIR}/reference.cpp)
target_link_libraries(vernatto_daw_lib PUBLIC vernatto_lib PRIVATE vernatto_warnings)
