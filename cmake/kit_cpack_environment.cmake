# Read by cpack before it writes the kit's zip (CPACK_PROJECT_CONFIG_FILE): what the archive
# would otherwise take from the machine that packs it.

# Names in UTF-8: "ПРОЧТИ.txt" then carries the zip's UTF-8 flag (and Explorer shows it
# right); in the C locale of a bare build machine cpack could not add it at all.
set(ENV{LC_ALL} C.UTF-8)

# Every entry's times are SOURCE_DATE_EPOCH (cpack's archive writer takes them from there
# instead of the files); unset, it is the time of the commit packed, so that two builds of
# one commit agree. A zip's entry time is local time: written in UTC, it is the same in
# every time zone.
set(ENV{TZ} UTC0)
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(COMMAND git -C "${CPACK_KIT_SOURCE_DIR}" log -1 --format=%ct
                  RESULT_VARIABLE kit_git_result OUTPUT_VARIABLE kit_commit_time
                  ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(kit_git_result EQUAL 0 AND kit_commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${kit_commit_time})
  else()
    message(WARNING "No commit time from git in ${CPACK_KIT_SOURCE_DIR}: the zip's entries "
                    "carry the files' times; set SOURCE_DATE_EPOCH for a zip that can be "
                    "rebuilt")
  endif()
endif()
