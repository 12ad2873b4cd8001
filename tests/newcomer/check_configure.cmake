cmake_minimum_required(VERSION 3.25)
# Configures the checkout afresh, as the README's first command does, and fails
# when the output has a line that looks like a problem to someone building
# Valvane for the first time.
# Usage: cmake -DSOURCE=DIR -DSCRATCH=DIR -DGENERATOR=NAME -P check_configure.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${SCRATCH} -G ${GENERATOR} -DCMAKE_BUILD_TYPE=Release
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
file(REMOVE_RECURSE ${SCRATCH})
message("${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring failed (${result})")
endif()
# The folders' own names say nothing.
string(REPLACE "${SCRATCH}" "" lower "${output}")
string(REPLACE "${SOURCE}" "" lower "${lower}")
string(TOLOWER "${lower}" lower)
foreach(word "could not" "not found" "warning" "error" "deprecat" "failed")
  if(lower MATCHES "${word}")
    message(FATAL_ERROR "configuring printed \"${word}\"")
  endif()
endforeach()
