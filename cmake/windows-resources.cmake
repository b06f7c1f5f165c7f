# Gives a Windows program its application manifest and a version resource:
#
#   vernatto_windows_resources(TARGET DESCRIPTION ORIGINAL_FILENAME)
#
# The manifest makes UTF-8 the program's ANSI code page and lets it use long
# paths; the version resource, built from the project's version, is what
# Explorer's Properties show. Both go through one .rc compiled by windres:
# with MinGW a .manifest listed as a source is ignored, while the .rc names
# it as resource 1 of type 24. Elsewhere the function does nothing.
if(WIN32)
  enable_language(RC)
endif()
set(VERNATTO_RESOURCE_TEMPLATES ${CMAKE_CURRENT_LIST_DIR}/windows)

function(vernatto_windows_resources target description original_filename)
  if(NOT WIN32)
    return()
  endif()
  # The binary version needs all three numbers; "1.2" stands for 1.2.0.
  foreach(part MAJOR MINOR PATCH)
    if(NOT PROJECT_VERSION_${part})
      set(PROJECT_VERSION_${part} 0)
    endif()
  endforeach()
  set(VERNATTO_RC_MANIFEST ${VERNATTO_RESOURCE_TEMPLATES}/program.manifest)
  set(VERNATTO_RC_DESCRIPTION ${description})
  set(VERNATTO_RC_ORIGINAL_FILENAME ${original_filename})
  set(VERNATTO_RC_INTERNAL_NAME ${target})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc)
  configure_file(${VERNATTO_RESOURCE_TEMPLATES}/resources.rc.in ${rc} @ONLY)
  # windres reads the manifest itself, so the build must know to redo it.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${VERNATTO_RC_MANIFEST})
  target_sources(${target} PRIVATE ${rc})
endfunction()
