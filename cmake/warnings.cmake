# The warnings every program of the kit is built with, errors on every toolchain: the targets
# of this build, the fuzz sub-build and the tool built for the build machine take them from here.
set(KIT_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports false -Wrestrict overlaps inside std::string concatenation at -O2.
  list(APPEND KIT_WARNING_FLAGS -Wno-restrict)
endif()
