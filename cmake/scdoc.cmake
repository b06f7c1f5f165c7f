# Turns one scdoc page into gzip-compressed roff (script mode):
#   cmake -DSCDOC=scdoc -DGZIP=gzip -DSOURCE=PAGE.scd -DOUTPUT=PAGE.gz
#         -DEPOCH=SECONDS -P scdoc.cmake
# EPOCH dates the page, so that the same sources give the same page.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
get_filename_component(roff ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(roff ${folder}/${roff})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${roff}
                RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${roff})
  message(FATAL_ERROR "scdoc could not read ${SOURCE}")
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${roff} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip could not compress ${roff}")
endif()
