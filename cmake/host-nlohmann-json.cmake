# nlohmann json for a cross build. The library is header-only, so the host's
# copy serves every target; but the host's include folder cannot go on the
# cross compiler's search path, as its C headers would shadow the target's.
# So the one folder we need is copied into the build tree and offered as the
# same imported target that find_package gives natively.
find_path(VERNATTO_HOST_NLOHMANN_INCLUDE nlohmann/json.hpp
          PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
          DOC "Host include folder holding nlohmann/json.hpp")
if(NOT VERNATTO_HOST_NLOHMANN_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found on the host: install nlohmann-json3-dev")
endif()

# Newer releases keep the version macros out of json.hpp itself.
set(major "")
foreach(header json.hpp detail/abi_macros.hpp)
  set(file ${VERNATTO_HOST_NLOHMANN_INCLUDE}/nlohmann/${header})
  if(major STREQUAL "" AND EXISTS ${file})
    file(STRINGS ${file} major_line REGEX "^#define NLOHMANN_JSON_VERSION_MAJOR +[0-9]+")
    if(major_line MATCHES "MAJOR +([0-9]+)")
      set(major ${CMAKE_MATCH_1})
    endif()
  endif()
endforeach()
if(NOT major EQUAL 3)
  message(FATAL_ERROR "nlohmann json 3 is needed, found major version '${major}'")
endif()

set(headers ${CMAKE_BINARY_DIR}/host-headers)
file(COPY ${VERNATTO_HOST_NLOHMANN_INCLUDE}/nlohmann DESTINATION ${headers})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${headers})
