# Runs one tape and compares what the teleprinter printed with the expected text,
# or, for a faulty tape (EXPECTED ends in .err), the exit status 2 and the message.
separate_arguments(arg_list UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${RUNNER} ${arg_list} ${TAPE}
  OUTPUT_VARIABLE printed ERROR_VARIABLE complaint RESULT_VARIABLE status)
file(READ ${EXPECTED} wanted)
if(EXPECTED MATCHES "\\.err$")
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "valvane-run ${ARGS} ${TAPE} exited with ${status}, not 2: ${complaint}")
  endif()
  # The message's line breaks may be carriage returns or line feeds, one or two.
  string(REGEX REPLACE "[\r\n]+" "\n" complaint "${complaint}")
  if(NOT complaint STREQUAL wanted)
    message(FATAL_ERROR "${TAPE} stopped with:\n[${complaint}]\nbut should stop with:\n[${wanted}]")
  endif()
  return()
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "valvane-run ${ARGS} ${TAPE} exited with ${status}: ${complaint}")
endif()
if(NOT printed STREQUAL wanted)
  message(FATAL_ERROR "${TAPE} printed:\n[${printed}]\nbut should print:\n[${wanted}]")
endif()
