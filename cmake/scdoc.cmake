# Turns one scdoc page into gzip-compressed roff, or with GROFF into plain
# text with CR LF line ends, for systems without man (script mode):
#   cmake -DSCDOC=scdoc -DGZIP=gzip -DSOURCE=PAGE.scd -DOUTPUT=PAGE.gz
#         -DEPOCH=SECONDS -P scdoc.cmake
#   cmake -DSCDOC=scdoc -DGROFF=groff -DSOURCE=PAGE.scd -DOUTPUT=PAGE.txt
#         -DEPOCH=SECONDS -P scdoc.cmake
# EPOCH dates the page, so that the same sources give the same page.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
get_filename_component(roff ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(roff ${folder}/${roff})
if(GROFF)
  set(roff ${OUTPUT}.roff)
endif()
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${roff}
                RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${roff})
  message(FATAL_ERROR "scdoc could not read ${SOURCE}")
endif()
if(GROFF)
  # One continuous page, not hyphenated, without the overstrikes and escape
  # sequences that make bold and underlined text on a terminal.
  execute_process(COMMAND ${GROFF} -man -Tutf8 -rcR=1 -rHY=0 -rLL=78n -P-cbou -ww ${roff}
                  OUTPUT_VARIABLE text RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "groff could not render ${roff}")
  endif()
  string(REGEX REPLACE "\n\n\n+" "\n\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${OUTPUT} "${text}")
  return()
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${roff} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip could not compress ${roff}")
endif()
