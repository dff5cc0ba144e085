# cmake -DSTEP=pack|again|contents|run -DWORK=<folder> -DVERSION=<x.y.z>
#       -DSOURCE_DIR=<source> ... -P check_kit.cmake
# pack:     -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake>: makes WORK/package/kit-VERSION.zip
#           and unpacks it into WORK/unpacked.
# again:    -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake>: packs again elsewhere (another
#           umask, time zone and locale) and compares.
# contents: -DLAUNCHER=<exe> -DOSTREL=<exe>: the zip's listing and the unpacked files.
# run:      -DEMULATOR=<wine> -DFAKE_GAME=<exe>: a fresh game folder with the stand-in
#           GameMain.exe and the zip unpacked beside it; the unpacked ostrel.exe runs there.
cmake_minimum_required(VERSION 3.25)

# Names in the archive are UTF-8; the C locale of a bare machine could not write them out.
set(ENV{LC_ALL} C.UTF-8)

set(zip ${WORK}/package/kit-${VERSION}.zip)
set(guide "ПРОЧТИ.txt")
set(shipped launcher.exe ostrel.exe ostrel.ini ${guide})

# le(<hex> <byte offset> <byte count> <out>): the little-endian number at that place of a
# hex dump made by file(READ ... HEX).
function(le hex offset count out)
  set(digits "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    math(EXPR at "(${offset} + ${i}) * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    string(PREPEND digits "${byte}")
  endforeach()
  math(EXPR value "0x${digits}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# zip_entries(<zip> <names out> <flags out> <times out>): names (as hex of their bytes),
# general purpose flags and MS-DOS times ("date,time") of the entries, in the order of the
# central directory.
function(zip_entries zip names_out flags_out times_out)
  file(SIZE ${zip} size)
  math(EXPR end_record "${size} - 22")
  file(READ ${zip} tail OFFSET ${end_record} HEX)
  if(NOT tail MATCHES "^504b0506")
    message(FATAL_ERROR "${zip}: no end of central directory record where a zip without "
                        "comment has it")
  endif()
  le("${tail}" 10 2 count)
  le("${tail}" 12 4 directory_size)
  le("${tail}" 16 4 directory_offset)
  file(READ ${zip} directory OFFSET ${directory_offset} LIMIT ${directory_size} HEX)
  set(names "")
  set(flags "")
  set(times "")
  set(at 0)
  foreach(entry RANGE 1 ${count})
    math(EXPR hex_at "${at} * 2")
    string(SUBSTRING "${directory}" ${hex_at} 8 signature)
    if(NOT signature STREQUAL "504b0102")
      message(FATAL_ERROR "${zip}: central directory entry ${entry} is broken")
    endif()
    math(EXPR field "${at} + 8")
    le("${directory}" ${field} 2 entry_flags)
    math(EXPR field "${at} + 12")
    le("${directory}" ${field} 2 dos_time)
    math(EXPR field "${at} + 14")
    le("${directory}" ${field} 2 dos_date)
    math(EXPR field "${at} + 28")
    le("${directory}" ${field} 2 name_size)
    math(EXPR field "${at} + 30")
    le("${directory}" ${field} 2 extra_size)
    math(EXPR field "${at} + 32")
    le("${directory}" ${field} 2 comment_size)
    math(EXPR name_at "(${at} + 46) * 2")
    math(EXPR name_digits "${name_size} * 2")
    string(SUBSTRING "${directory}" ${name_at} ${name_digits} name)
    list(APPEND names ${name})
    list(APPEND flags ${entry_flags})
    list(APPEND times "${dos_date},${dos_time}")
    math(EXPR at "${at} + 46 + ${name_size} + ${extra_size} + ${comment_size}")
  endforeach()
  set(${names_out} ${names} PARENT_SCOPE)
  set(${flags_out} ${flags} PARENT_SCOPE)
  set(${times_out} ${times} PARENT_SCOPE)
endfunction()

# dos_time(<seconds since 1970> <out>): that moment in UTC as a zip entry's MS-DOS time,
# "date,time" (two-second steps).
function(dos_time epoch out)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})  # string(TIMESTAMP) then tells that moment, not now
  string(TIMESTAMP parts "%Y;%m;%d;%H;%M;%S" UTC)
  list(TRANSFORM parts REPLACE "^0+([0-9])" "\\1")
  list(GET parts 0 year)
  list(GET parts 1 month)
  list(GET parts 2 day)
  list(GET parts 3 hour)
  list(GET parts 4 minute)
  list(GET parts 5 second)
  math(EXPR date "((${year} - 1980) << 9) | (${month} << 5) | ${day}")
  math(EXPR time "(${hour} << 11) | (${minute} << 5) | (${second} / 2)")
  set(${out} "${date},${time}" PARENT_SCOPE)
endfunction()

# pe_version(<exe> <out>): the file and product versions of the exe's VS_FIXEDFILEINFO, as
# "a.b.c.d/a.b.c.d"; "none" without one.
function(pe_version exe out)
  file(READ ${exe} image HEX)
  set(from 0)
  while(TRUE)
    string(SUBSTRING "${image}" ${from} -1 rest)
    string(FIND "${rest}" "bd04effe" found)
    if(found EQUAL -1)
      set(${out} none PARENT_SCOPE)
      return()
    endif()
    math(EXPR found "${from} + ${found}")
    math(EXPR odd "${found} % 2")
    if(odd EQUAL 0)
      break()
    endif()
    math(EXPR from "${found} + 1")
  endwhile()
  math(EXPR info "${found} / 2")
  set(versions "")
  foreach(pair 8 16)  # dwFileVersionMS/LS, dwProductVersionMS/LS
    math(EXPR ms_at "${info} + ${pair}")
    math(EXPR ls_at "${ms_at} + 4")
    le("${image}" ${ms_at} 4 ms)
    le("${image}" ${ls_at} 4 ls)
    math(EXPR a "${ms} >> 16")
    math(EXPR b "${ms} & 0xFFFF")
    math(EXPR c "${ls} >> 16")
    math(EXPR d "${ls} & 0xFFFF")
    list(APPEND versions "${a}.${b}.${c}.${d}")
  endforeach()
  list(JOIN versions "/" text)
  set(${out} ${text} PARENT_SCOPE)
endfunction()

# symbol_table(<exe> <out>): "offset,count" of the COFF symbol table; "0,0" when stripped.
function(symbol_table exe out)
  file(READ ${exe} head LIMIT 4096 HEX)
  le("${head}" 60 4 pe)
  math(EXPR pointer_at "${pe} + 4 + 8")
  math(EXPR count_at "${pe} + 4 + 12")
  le("${head}" ${pointer_at} 4 pointer)
  le("${head}" ${count_at} 4 count)
  set(${out} "${pointer},${count}" PARENT_SCOPE)
endfunction()

function(expect_same_bytes actual expected)
  file(SHA256 ${actual} actual_hash)
  file(SHA256 ${expected} expected_hash)
  if(NOT actual_hash STREQUAL expected_hash)
    message(SEND_ERROR "${actual} differs from ${expected}")
  endif()
endfunction()

function(expect_listing folder)
  file(GLOB found RELATIVE ${folder} ${folder}/*)
  list(SORT found)
  set(expected ${ARGN})
  list(SORT expected)
  if(NOT found STREQUAL expected)
    message(SEND_ERROR "${folder} holds [${found}], expected [${expected}]")
  endif()
endfunction()

if(STEP STREQUAL "pack")
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
  # In the C locale, as on a bare build machine: the kit's own settings must bring UTF-8.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANG=C
                          ${CPACK} --config ${CONFIG} -B ${WORK}/package
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT EXISTS ${zip})
    message(FATAL_ERROR "cpack made no ${zip}:\n${output}")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${WORK}/unpacked)

elseif(STEP STREQUAL "again")
  # Packed again with another umask, in another time zone and locale: the same bytes.
  set(again ${WORK}/again)
  file(REMOVE_RECURSE ${again})
  execute_process(COMMAND sh -c "umask 077 && exec \"$@\"" sh
                          ${CMAKE_COMMAND} -E env TZ=NPT-5:45 LC_ALL=C.UTF-8
                          ${CPACK} --config ${CONFIG} -B ${again}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${output}")
  endif()
  foreach(file kit-${VERSION}.zip kit-${VERSION}.zip.sha256)
    expect_same_bytes(${again}/${file} ${WORK}/package/${file})
  endforeach()

elseif(STEP STREQUAL "contents")
  # The listing: the four files at the top level, in the order of their names' bytes (the
  # same order on every build machine), the guide's name flagged as UTF-8 (bit 11) so that
  # Explorer shows it in Cyrillic.
  zip_entries(${zip} names flags times)
  set(expected "")
  foreach(file IN LISTS shipped)
    string(HEX "${file}" hex)
    list(APPEND expected ${hex})
  endforeach()
  list(SORT expected)
  if(NOT names STREQUAL expected)
    message(SEND_ERROR "the zip holds the names (hex of their bytes) [${names}], "
                       "expected in this order [${expected}]: ${shipped}")
  endif()
  string(HEX "${guide}" guide_hex)
  list(FIND names ${guide_hex} guide_entry)
  if(guide_entry GREATER_EQUAL 0)
    list(GET flags ${guide_entry} guide_flags)
    math(EXPR utf8 "${guide_flags} & 0x800")
    if(utf8 EQUAL 0)
      message(SEND_ERROR "${guide} is stored without the UTF-8 flag (flags ${guide_flags})")
    endif()
  endif()

  # Every entry carries the time of the commit packed (or SOURCE_DATE_EPOCH), not the time
  # its file was built or copied.
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct OUTPUT_VARIABLE epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(epoch MATCHES "^[0-9]+$")
    dos_time(${epoch} commit_time)
    list(REMOVE_DUPLICATES times)
    if(NOT times STREQUAL commit_time)
      message(SEND_ERROR "the entries carry the MS-DOS times (date,time) [${times}], "
                         "the commit's is ${commit_time}")
    endif()
  else()
    message(STATUS "no commit time (no git here): the entries' times are not checked")
  endif()

  # Beside the zip, its checksum in sha256sum's format.
  file(SHA256 ${zip} zip_hash)
  set(checksum_file ${zip}.sha256)
  if(NOT EXISTS ${checksum_file})
    message(SEND_ERROR "no ${checksum_file} beside the zip")
  else()
    file(READ ${checksum_file} checksum)
    if(NOT checksum STREQUAL "${zip_hash}  kit-${VERSION}.zip\n")
      message(SEND_ERROR "${checksum_file} holds '${checksum}', the zip's SHA-256 is ${zip_hash}")
    endif()
  endif()

  # What was unpacked: the same four files, as shipped.
  set(unpacked ${WORK}/unpacked)
  expect_listing(${unpacked} ${shipped})
  expect_same_bytes(${unpacked}/ostrel.ini ${SOURCE_DIR}/dist/ostrel.ini)
  expect_same_bytes(${unpacked}/${guide} ${SOURCE_DIR}/dist/${guide})
  file(READ ${unpacked}/${guide} text HEX)
  if(NOT text MATCHES "^efbbbf")
    message(SEND_ERROR "${guide} does not start with the UTF-8 byte-order mark")
  endif()
  string(REGEX REPLACE "(..)" " \\1" bytes "${text}")
  string(REPLACE " 0d 0a" "" bytes "${bytes}")
  if(bytes MATCHES " 0a| 0d")
    message(SEND_ERROR "${guide} has a line end other than CR LF")
  endif()

  # The exes are the build's (which the import and size tests check), stripped, and carry
  # the project's version.
  string(REGEX REPLACE "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$" "\\1.\\2.\\3.0" version4 "${VERSION}")
  foreach(exe_and_build "launcher.exe;${LAUNCHER}" "ostrel.exe;${OSTREL}")
    list(GET exe_and_build 0 exe)
    list(GET exe_and_build 1 build)
    expect_same_bytes(${unpacked}/${exe} ${build})
    symbol_table(${unpacked}/${exe} symbols)
    if(NOT symbols STREQUAL "0,0")
      message(SEND_ERROR "${exe} is not stripped (symbol table at,count: ${symbols})")
    endif()
    pe_version(${unpacked}/${exe} version)
    if(NOT version STREQUAL "${version4}/${version4}")
      message(SEND_ERROR "${exe} carries the version (file/product) ${version}, "
                         "the project is ${version4}")
    endif()
  endforeach()

elseif(STEP STREQUAL "run")
  set(game ${WORK}/game)
  file(REMOVE_RECURSE ${game})
  file(MAKE_DIRECTORY ${game})
  execute_process(COMMAND ${EMULATOR} ${FAKE_GAME} GameMain.exe WORKING_DIRECTORY ${game}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT EXISTS ${game}/GameMain.exe)
    message(FATAL_ERROR "the stand-in GameMain.exe was not made (${result})")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${game})
  file(SHA256 ${game}/GameMain.exe game_before)

  execute_process(COMMAND ${EMULATOR} ${game}/ostrel.exe WORKING_DIRECTORY ${game}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  string(REPLACE "\r" "" output "${output}")
  if(NOT result EQUAL 0 OR NOT errors STREQUAL "")
    message(SEND_ERROR "ostrel.exe ended with ${result}; on standard error:\n${errors}")
  endif()
  string(REGEX REPLACE "\n$" "" output "${output}")
  string(REPLACE "\n" ";" lines "${output}")
  # Nineteen report lines, then the completion line.
  list(LENGTH lines line_count)
  list(POP_BACK lines last)
  if(NOT line_count EQUAL 20 OR NOT last STREQUAL "done! GameMain-kb.exe created")
    message(SEND_ERROR "unexpected output of ostrel.exe:\n${output}")
  endif()
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^ *[A-Za-z0-9]+: +[0-9a-f]+ -> +[0-9a-f]+$")
      message(SEND_ERROR "not a report line: '${line}'")
    endif()
  endforeach()
  # The shipped ostrel.ini's bindings are the ones applied.
  file(STRINGS ${game}/ostrel.ini bindings REGEX "^[A-Za-z0-9]+ = ")
  foreach(binding IN LISTS bindings)
    string(REGEX MATCH "^([A-Za-z0-9]+) = (0[xX][0-9A-Fa-f]+|[0-9]+)" matched "${binding}")
    set(name ${CMAKE_MATCH_1})
    math(EXPR code "${CMAKE_MATCH_2}" OUTPUT_FORMAT HEXADECIMAL)
    string(TOLOWER "${code}" code)
    string(REGEX REPLACE "^0x" "" code "${code}")
    set(hit ${lines})
    list(FILTER hit INCLUDE REGEX "^ *${name}: +[0-9a-f]+ -> +${code}$")
    if(hit STREQUAL "")
      message(SEND_ERROR "${name} is not reported bound to ${code}:\n${output}")
    endif()
  endforeach()

  file(SHA256 ${game}/GameMain.exe game_after)
  if(NOT game_after STREQUAL game_before)
    message(SEND_ERROR "GameMain.exe was changed")
  endif()
  if(NOT EXISTS ${game}/GameMain-kb.exe)
    message(FATAL_ERROR "no GameMain-kb.exe:\n${output}")
  endif()
  file(SIZE ${game}/GameMain.exe game_size)
  file(SIZE ${game}/GameMain-kb.exe patched_size)
  file(SHA256 ${game}/GameMain-kb.exe patched_hash)
  if(NOT patched_size EQUAL game_size OR patched_hash STREQUAL game_before)
    message(SEND_ERROR "GameMain-kb.exe is not a patched copy of GameMain.exe")
  endif()
  # Nothing else is left in the folder (no temporary file of the safe replacement).
  expect_listing(${game} GameMain.exe GameMain-kb.exe ${shipped})

else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
