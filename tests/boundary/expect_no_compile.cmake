# Builds TARGET in BUILD_DIR and passes only when the build fails because HEADER is not found.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
  message(FATAL_ERROR "${TARGET} compiled although it includes ${HEADER}")
endif()
string(FIND "${output}" "${HEADER}: No such file or directory" found)
if(found EQUAL -1)
  message(FATAL_ERROR "${TARGET} failed for another reason than ${HEADER}:\n${output}")
endif()
message(STATUS "${HEADER} is out of a module's reach")
