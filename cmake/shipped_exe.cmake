# kit_shipped_exe(target): the link of an exe that ships, without unused code and, in a
# release build, without symbols. Its header carries no link time (GNU ld writes the clock's
# by default), so that the same source gives the same exe.
function(kit_shipped_exe target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  if(WIN32)
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  endif()
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()
