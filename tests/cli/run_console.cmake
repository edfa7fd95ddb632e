# Under Wine on a pseudo-terminal, standard output is a console: the GBK
# report must reach it as text (Wine hands the terminal UTF-8), not as the
# GBK bytes a redirected run gets.
#   SCRIPT (util-linux script), EMULATOR, CLI, FILE1, FILE2
execute_process(COMMAND ${SCRIPT} -qec "${EMULATOR} ${CLI} compare --color never --encoding gbk ${FILE1} ${FILE2}" /dev/null
                OUTPUT_VARIABLE console)
string(FIND "${console}" "== 1号" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the console did not get the report as text:\n${console}")
endif()
execute_process(COMMAND ${EMULATOR} ${CLI} compare --encoding gbk ${FILE1} ${FILE2} OUTPUT_VARIABLE piped)
string(FIND "${piped}" "== 1号" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "a redirected report is not in the bytes of --encoding gbk")
endif()
