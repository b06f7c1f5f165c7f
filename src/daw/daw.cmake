# The project-file readers: what each host's format says a project uses.
set(VERNATTO_DAW_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(vernatto_daw_lib STATIC
  ${VERNATTO_DAW_DIR}/reference.cpp
  ${VERNATTO_DAW_DIR}/format.cpp
  ${VERNATTO_DAW_DIR}/zip.cpp
  ${VERNATTO_DAW_DIR}/xml.cpp
  ${VERNATTO_DAW_DIR}/inflate.cpp
  ${VERNATTO_DAW_DIR}/stored_text.cpp
  ${VERNATTO_DAW_DIR}/reaper.cpp
  ${VERNATTO_DAW_DIR}/live.cpp
  ${VERNATTO_DAW_DIR}/dawproject.cpp
  ${VERNATTO_DAW_DIR}/ardour.cpp
  ${VERNATTO_DAW_DIR}/carla.cpp
  ${VERNATTO_DAW_DIR}/lmms.cpp
  ${VERNATTO_DAW_DIR}/studio_one.cpp
  ${VERNATTO_DAW_DIR}/cubase.cpp
  ${VERNATTO_DAW_DIR}/pro_tools_text.cpp)
include(${PROJECT_SOURCE_DIR}/cmake/project-libraries.cmake)
target_link_libraries(vernatto_daw_lib PUBLIC vernatto_lib
  PRIVATE vernatto_project_libraries vernatto_warnings)
