# Runs one tape and compares what the teleprinter printed with the expected text.
separate_arguments(arg_list UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${RUNNER} ${arg_list} ${TAPE}
  OUTPUT_VARIABLE printed ERROR_VARIABLE complaint RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "valvane-run ${ARGS} ${TAPE} exited with ${status}: ${complaint}")
endif()
file(READ ${EXPECTED} wanted)
if(NOT printed STREQUAL wanted)
  message(FATAL_ERROR "${TAPE} printed:\n[${printed}]\nbut should print:\n[${wanted}]")
endif()
