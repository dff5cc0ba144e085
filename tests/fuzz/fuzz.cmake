# Included by the native build: builds the fuzz targets in a clang sub-build when clang++ and
# its fuzzer runtime are there, and registers each target's seed corpus as a test. Running the
# seeds is deterministic; the timed fuzzing is scripts/fuzz.sh.
set(kit_fuzz_targets line_list key_file skin patch png)

find_program(KIT_CLANGXX clang++)
if(KIT_CLANGXX)
  execute_process(COMMAND ${KIT_CLANGXX} -print-file-name=libclang_rt.fuzzer-x86_64.a
                  OUTPUT_VARIABLE kit_fuzzer_runtime OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
if(NOT KIT_CLANGXX OR NOT IS_ABSOLUTE "${kit_fuzzer_runtime}")
  message(STATUS "Fuzz targets: not built (no clang++ with libFuzzer; scripts/install-deps.sh installs it)")
  return()
endif()

include(ExternalProject)
set(kit_fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(kit_fuzz
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${kit_fuzz_dir}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${KIT_CLANGXX}
  INSTALL_COMMAND ""
  LOG_CONFIGURE ON
  LOG_OUTPUT_ON_FAILURE ON
  # The sub-build tracks its own sources; its make decides what is out of date.
  BUILD_ALWAYS ON)

foreach(target IN LISTS kit_fuzz_targets)
  file(GLOB seeds CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/corpus/${target}/*)
  # Given files rather than a folder, libFuzzer runs each once and exits.
  add_test(NAME fuzz_${target}_seeds COMMAND ${kit_fuzz_dir}/fuzz_${target} ${seeds})
  set_tests_properties(fuzz_${target}_seeds PROPERTIES TIMEOUT 60)
endforeach()
