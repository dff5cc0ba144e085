# cmake -DEXE=<exe> -DCEILING=<bytes> -DSTRIP=<strip> -DCOPY=<scratch file> -P check_size.cmake
# Fails when a stripped copy of EXE is larger than CEILING bytes.
execute_process(COMMAND ${STRIP} -o ${COPY} ${EXE} RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "${STRIP} could not strip ${EXE}")
endif()
file(SIZE ${COPY} size)
file(REMOVE ${COPY})
if(size GREATER CEILING)
  message(FATAL_ERROR "${EXE}: ${size} bytes stripped, more than the ceiling of ${CEILING}")
endif()
message(STATUS "${EXE}: ${size} bytes stripped (ceiling ${CEILING})")
