# The download: kit-<version>.zip holds what a player puts in the game folder, at its top
# level: both exes (linked statically; stripped in the Release build), ostrel.ini as shipped
# and the player's guide. `cpack --preset kit` (or `cmake --workflow --preset kit` from a
# clean tree) writes it into the build folder.
install(TARGETS launcher ostrel RUNTIME DESTINATION .)
# Packing takes what was built and builds nothing itself: the workflow preset builds first,
# and a test that packs must not rebuild the tree it runs from.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
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
# Beside the zip, kit-<version>.zip.sha256 in sha256sum's format: what a player compares the
# download with.
set(CPACK_PACKAGE_CHECKSUM SHA256)
# The zip is the same byte for byte whoever packs it, wherever, whenever: the staged files
# carry the permissions install() gives them whatever the umask, kit_cpack_environment.cmake
# fixes what cpack would take from the machine (entry times, the time zone they are written
# in, the locale of the names) and kit_zip_in_order.cmake puts the entries in name order.
set(CPACK_KIT_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/kit_cpack_environment.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/kit_zip_in_order.cmake)
include(CPack)
