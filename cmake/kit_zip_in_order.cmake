# Run by cpack after it wrote the kit's zip (CPACK_POST_BUILD_SCRIPTS), before it copies it
# out and takes its checksum. cpack adds the staged files in the order the folder lists them,
# which differs from one file system to another: the zip is written again with its entries in
# the order of their names (in bytes). The environment kit_cpack_environment.cmake set
# (SOURCE_DATE_EPOCH, TZ, LC_ALL) holds here too.
file(GLOB kit_files RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT kit_files)
set(kit_list "${CPACK_TOPLEVEL_DIRECTORY}/kit-files.txt")
list(JOIN kit_files "\n" kit_lines)
file(WRITE "${kit_list}" "${kit_lines}\n")
foreach(kit_zip IN LISTS CPACK_PACKAGE_FILES)
  file(REMOVE "${kit_zip}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${kit_zip}" --format=zip
                          "--files-from=${kit_list}"
                  WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}" RESULT_VARIABLE kit_result)
  if(NOT kit_result EQUAL 0)
    message(FATAL_ERROR "Could not write ${kit_zip} again in name order")
  endif()
endforeach()
