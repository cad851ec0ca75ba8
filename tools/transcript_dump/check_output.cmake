# Runs EXE with ARGS (separated by ^), standard input from INPUT when given, and fails unless
# it exits with 0 and its standard output equals the file EXPECTED byte for byte.
string(REPLACE "^" ";" args "${ARGS}")
if(DEFINED INPUT)
  execute_process(COMMAND ${EXE} ${args} INPUT_FILE ${INPUT}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
else()
  execute_process(COMMAND ${EXE} ${args} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} exited with ${rc}: ${err}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "output differs from ${EXPECTED}\n--- got ---\n${out}--- expected ---\n${expected}")
endif()
