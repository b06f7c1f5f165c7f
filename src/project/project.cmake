# The project program: its library (everything but main) and vernatto-project.
set(VERNATTO_PROJECT_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(vernatto_project_lib STATIC
  ${VERNATTO_PROJECT_DIR}/options.cpp
  ${VERNATTO_PROJECT_DIR}/find.cpp
  ${VERNATTO_PROJECT_DIR}/library.cpp
  ${VERNATTO_PROJECT_DIR}/matching.cpp
  ${VERNATTO_PROJECT_DIR}/check.cpp
  ${VERNATTO_PROJECT_DIR}/console.cpp
  ${VERNATTO_PROJECT_DIR}/json.cpp
  ${VERNATTO_PROJECT_DIR}/csv.cpp
  ${VERNATTO_PROJECT_DIR}/html.cpp
  ${VERNATTO_PROJECT_DIR}/project.cpp)
target_link_libraries(vernatto_project_lib
  PUBLIC vernatto_daw_lib vernatto_fleet_lib vernatto_scan_lib
  PRIVATE vernatto_warnings)

add_executable(vernatto-project ${VERNATTO_PROJECT_DIR}/main.cpp)
target_link_libraries(vernatto-project PRIVATE vernatto_project_lib vernatto_warnings)
vernatto_windows_resources(vernatto-project "Says which plug-ins projects need and which rooms open them"
                           vernatto-project.exe)
