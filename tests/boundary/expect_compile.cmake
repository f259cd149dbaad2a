# Builds TARGET in BUILD_DIR and passes only when it builds: the probes that must fail fail for the
# header they reach, not for an include path that sees nothing.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TARGET} does not compile although ${HEADER} is in its reach:\n${output}")
endif()
