# The download: kit-<version>.zip holds what a player puts in the game folder, at its top
# level: both exes (linked statically; stripped in the Release build), ostrel.ini as shipped
# and the player's guide. `cpack --preset kit` (or `cmake --workflow --preset kit` from a
# clean tree) writes it into the build folder.
install(TARGETS launcher ostrel RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/dist/ostrel.ini "${PROJECT_SOURCE_DIR}/dist/ПРОЧТИ.txt"
        DESTINATION .)

if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
  message(WARNING "The kit's zip ships the exes unstripped unless CMAKE_BUILD_TYPE is Release")
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kit)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME kit-${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Only the package of the game folder; no source package.
set(CPACK_SOURCE_GENERATOR "")
# The archive is written with names in the locale's character set, which must be UTF-8 for
# "ПРОЧТИ.txt" (it then carries the zip's UTF-8 flag, and Explorer shows it right): in the C
# locale of a bare build machine cpack could not add it.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/kit_cpack_locale.cmake)
include(CPack)
