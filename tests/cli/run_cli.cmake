# Runs the companion on two fixtures and compares its output with a golden
# file. -DEMULATOR runs the Windows build under Wine.
separate_arguments(args UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${EMULATOR} ${CLI} compare ${args} ${FILE1} ${FILE2}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL ${EXIT})
  message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}")
endif()
if(NOT out STREQUAL expected)
  file(WRITE ${EXPECTED}.actual "${out}")
  message(FATAL_ERROR "output differs from ${EXPECTED}; see ${EXPECTED}.actual")
endif()
