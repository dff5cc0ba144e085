# kit_shipped_exe(target): the link of an exe that ships, without unused code and, in a
# release build, without symbols.
function(kit_shipped_exe target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()
