# The papers that go with the programs, made in ${PROJECT_BINARY_DIR}/papers:
#
#  - copyright: Debian's machine-readable copyright file, from LICENSE;
#  - changelog.gz: CHANGELOG.md's releases as a Debian changelog, signed by
#    VERNATTO_PACKAGE_MAINTAINER (the newest release must be PROJECT_VERSION);
#    rpm-changelog: the same releases as an .rpm's %changelog;
#  - man/NAME.SECTION.gz: each docs/man/NAME.SECTION.scd turned into roff by
#    scdoc at build time, with the version and the newest release's date;
#    for Windows, which has no man, man/NAME.txt instead: the page as groff
#    renders it for a terminal, in plain text with CR LF line ends;
#  - README.txt, for Windows: README.md with CR LF line ends and a byte order
#    mark, a copy that opens with a double click.
#
# VERNATTO_MANUALS chooses whether the manual pages are built: AUTO (when
# scdoc is found), ON (scdoc is required) or OFF. Sets VERNATTO_MANUAL_PAGES
# to the pages built.
set(VERNATTO_PACKAGE_MAINTAINER "vernatto packager <packager@vernatto.invalid>" CACHE STRING
    "Maintainer of the Debian package and signer of its changelog, as 'Name <address>'; the default is a placeholder")
if(NOT VERNATTO_PACKAGE_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
  message(FATAL_ERROR "VERNATTO_PACKAGE_MAINTAINER must read 'Name <address>', "
                      "not '${VERNATTO_PACKAGE_MAINTAINER}'")
endif()
set(VERNATTO_MANUALS AUTO CACHE STRING "Build the manual pages: AUTO (when scdoc is found), ON or OFF")
set_property(CACHE VERNATTO_MANUALS PROPERTY STRINGS AUTO ON OFF)

set(VERNATTO_PAPERS ${PROJECT_BINARY_DIR}/papers)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE)

# Days from 1970-01-01 to a date of the Gregorian calendar (Howard
# Hinnant's days_from_civil), for the changelog's weekdays and the pages' date.
function(vernatto_days_since_1970 year month day result)
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + (153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  set(${result} ${days} PARENT_SCOPE)
endfunction()

# "Wed, 09 Dec 2026 00:00:00 +0000" for a release date, and in `rpm_result`
# "Wed Dec 09 2026", as an .rpm's changelog dates its entries.
function(vernatto_changelog_date year month day result rpm_result)
  vernatto_days_since_1970(${year} ${month} ${day} days)
  math(EXPR weekday "(${days} + 4) % 7")  # 1970-01-01 was a Thursday
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday_name)
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  set(${result} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
  set(${rpm_result} "${weekday_name} ${month_name} ${day} ${year}" PARENT_SCOPE)
endfunction()

# CHANGELOG.md to Debian's format: each "## [VERSION] - DATE" release (not
# Unreleased) becomes an entry, its "### Kind" headings "* Kind:" and its
# items indented below them, keeping the file's line breaks; and the same to
# `rpm_output` as an .rpm's %changelog ("* DATE NAME - VERSION-1", then
# "- Kind:" and the items). Sets VERNATTO_RELEASE_DAYS to the newest
# release's date.
function(vernatto_debian_changelog markdown output rpm_output)
  file(READ ${markdown} text)
  # Semicolons and brackets would split or join the lines of a CMake list.
  string(REPLACE ";" "@SEMICOLON@" text "${text}")
  string(REPLACE "[" "@OPEN@" text "${text}")
  string(REPLACE "]" "@CLOSE@" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(debian "")
  set(rpm "")
  set(trailer "")
  set(in_release FALSE)
  foreach(line IN LISTS lines)
    string(REPLACE "@SEMICOLON@" ";" line "${line}")
    string(REPLACE "@OPEN@" "[" line "${line}")
    string(REPLACE "@CLOSE@" "]" line "${line}")
    if(line MATCHES "^## ")
      string(APPEND debian "${trailer}")
      set(trailer "")
      set(in_release FALSE)
      if(line MATCHES "^## \\[([^]]+)\\] - ([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
        set(version ${CMAKE_MATCH_1})
        set(year ${CMAKE_MATCH_2})
        set(month ${CMAKE_MATCH_3})
        set(day ${CMAKE_MATCH_4})
        if(NOT DEFINED newest)
          set(newest ${version})
          vernatto_days_since_1970(${year} ${month} ${day} newest_days)
        endif()
        vernatto_changelog_date(${year} ${month} ${day} date rpm_date)
        string(APPEND debian "${PROJECT_NAME} (${version}) unstable; urgency=medium\n\n")
        string(APPEND rpm "\n* ${rpm_date} ${VERNATTO_PACKAGE_MAINTAINER} - ${version}-1\n")
        set(trailer "\n -- ${VERNATTO_PACKAGE_MAINTAINER}  ${date}\n\n")
        set(in_release TRUE)
      endif()
    elseif(NOT in_release OR line STREQUAL "")
      # Text before the first release, Unreleased and blank lines are left out.
    elseif(line MATCHES "^### (.*)$")
      string(APPEND debian "  * ${CMAKE_MATCH_1}:\n")
      string(APPEND rpm "- ${CMAKE_MATCH_1}:\n")
    else()
      string(APPEND debian "    ${line}\n")
      string(APPEND rpm "  ${line}\n")
    endif()
  endforeach()
  string(APPEND debian "${trailer}")
  if(NOT newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "The newest release in CHANGELOG.md is '${newest}', "
                        "the project's version ${PROJECT_VERSION}: add its entry.")
  endif()
  string(STRIP "${debian}" debian)
  file(WRITE ${output} "${debian}\n")
  string(STRIP "${rpm}" rpm)
  file(WRITE ${rpm_output} "${rpm}\n")
  set(VERNATTO_RELEASE_DAYS ${newest_days} PARENT_SCOPE)
endfunction()

# LICENSE as the one licence paragraph of a machine-readable copyright file.
function(vernatto_debian_copyright license output)
  file(READ ${license} text)
  if(NOT text MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.*[^\n])\n*$")
    message(FATAL_ERROR "LICENSE has no 'Copyright (c) ...' line followed by the licence")
  endif()
  set(holder ${CMAKE_MATCH_1})
  set(body ${CMAKE_MATCH_2})
  string(REPLACE "\n\n" "\n.\n" body "${body}")
  string(REPLACE "\n" "\n " body "${body}")
  file(WRITE ${output}
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: ${PROJECT_NAME}\n\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       " ${body}\n")
endfunction()

vernatto_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${VERNATTO_PAPERS}/changelog
                          ${VERNATTO_PAPERS}/rpm-changelog)
set(VERNATTO_MANUAL_PAGES "")
if(WIN32)
  file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
  string(REPLACE "\n" "\r\n" readme "${readme}")
  string(ASCII 239 187 191 byte_order_mark)
  file(WRITE ${VERNATTO_PAPERS}/README.txt "${byte_order_mark}${readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
endif()
# The Windows archive carries LICENSE and CHANGELOG.md as they are.
if(NOT WIN32)
  vernatto_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE ${VERNATTO_PAPERS}/copyright)
  # Debian wants the changelog compressed as hard as gzip can, without a
  # timestamp, so that the package is the same from build to build.
  find_program(VERNATTO_GZIP gzip)
  if(VERNATTO_GZIP)
    execute_process(COMMAND ${VERNATTO_GZIP} -9 -n -c ${VERNATTO_PAPERS}/changelog
                    OUTPUT_FILE ${VERNATTO_PAPERS}/changelog.gz RESULT_VARIABLE failed)
  endif()
  if(NOT VERNATTO_GZIP OR failed)
    message(FATAL_ERROR "gzip is needed to compress the changelog")
  endif()
endif()

# Text pages for Windows are rendered by groff (Debian package groff-base).
set(manual_tools scdoc)
if(WIN32)
  list(APPEND manual_tools groff)
endif()
if(VERNATTO_MANUALS)
  foreach(tool ${manual_tools})
    string(TOUPPER ${tool} name)
    find_program(VERNATTO_${name} ${tool})
    if(NOT VERNATTO_${name})
      if(VERNATTO_MANUALS STREQUAL "AUTO")
        message(STATUS "${tool} not found: the manual pages are not built")
      else()
        message(FATAL_ERROR "VERNATTO_MANUALS=${VERNATTO_MANUALS} needs ${tool}")
      endif()
      set(manual_tools_missing TRUE)
    endif()
  endforeach()
endif()
if(VERNATTO_MANUALS AND NOT manual_tools_missing)
  math(EXPR release_epoch "${VERNATTO_RELEASE_DAYS} * 86400")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.scd)
  foreach(source ${sources})
    get_filename_component(page ${source} NAME_WLE)
    set(versioned ${VERNATTO_PAPERS}/man/${page}.scd)
    configure_file(${source} ${versioned} @ONLY)
    if(WIN32)
      get_filename_component(program ${page} NAME_WLE)
      set(output ${VERNATTO_PAPERS}/man/${program}.txt)
      set(render -DGROFF=${VERNATTO_GROFF})
    else()
      set(output ${VERNATTO_PAPERS}/man/${page}.gz)
      set(render -DGZIP=${VERNATTO_GZIP})
    endif()
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DSCDOC=${VERNATTO_SCDOC} ${render}
              -DSOURCE=${versioned} -DOUTPUT=${output} -DEPOCH=${release_epoch}
              -P ${PROJECT_SOURCE_DIR}/cmake/scdoc.cmake
      DEPENDS ${versioned} ${PROJECT_SOURCE_DIR}/cmake/scdoc.cmake
      COMMENT "Manual page ${page}" VERBATIM)
    list(APPEND VERNATTO_MANUAL_PAGES ${output})
  endforeach()
  add_custom_target(vernatto_manuals ALL DEPENDS ${VERNATTO_MANUAL_PAGES})
endif()
