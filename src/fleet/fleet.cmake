# The fleet program: its library (everything but main) and vernatto-fleet.
set(VERNATTO_FLEET_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(vernatto_fleet_lib STATIC
  ${VERNATTO_FLEET_DIR}/options.cpp
  ${VERNATTO_FLEET_DIR}/machines.cpp
  ${VERNATTO_FLEET_DIR}/plugins.cpp
  ${VERNATTO_FLEET_DIR}/console.cpp
  ${VERNATTO_FLEET_DIR}/json.cpp
  ${VERNATTO_FLEET_DIR}/csv.cpp
  ${VERNATTO_FLEET_DIR}/html.cpp
  ${VERNATTO_FLEET_DIR}/fleet.cpp)
# Output files go to disk on threads of their own.
find_package(Threads REQUIRED)
target_link_libraries(vernatto_fleet_lib PUBLIC vernatto_lib Threads::Threads
                                         PRIVATE vernatto_warnings)

add_executable(vernatto-fleet ${VERNATTO_FLEET_DIR}/main.cpp)
target_link_libraries(vernatto-fleet PRIVATE vernatto_fleet_lib vernatto_warnings)
vernatto_windows_resources(vernatto-fleet "Compares the plug-in inventories of many machines"
                           vernatto-fleet.exe)
