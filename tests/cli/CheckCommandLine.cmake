# Runs one program with arguments and checks what it answers. Called by CTest as
#   cmake -DPROGRAM=... -DARGUMENTS=a;b -DEXIT_CODE=n [-DFIRST_LINE=...] [-DMENTIONS=a;b]
#         [-DONE_ERROR_LINE=ON] [-DERROR_MENTIONS=...] -P CheckCommandLine.cmake
# FIRST_LINE: the first line of standard output; MENTIONS: words standard output must contain,
# in any case;
# ONE_ERROR_LINE: standard output empty and exactly one line on standard error, which contains
# ERROR_MENTIONS when given.
execute_process(COMMAND ${PROGRAM} ${ARGUMENTS} RESULT_VARIABLE code OUTPUT_VARIABLE out
                ERROR_VARIABLE err TIMEOUT 30)
set(problems)
if(NOT code STREQUAL EXIT_CODE)
  list(APPEND problems "exit code ${code}, expected ${EXIT_CODE}")
endif()
if(DEFINED FIRST_LINE)
  string(REGEX REPLACE "\n.*" "" first "${out}")
  if(NOT first STREQUAL FIRST_LINE)
    list(APPEND problems "first line '${first}', expected '${FIRST_LINE}'")
  endif()
endif()
string(TOLOWER "${out}" lower_out)
foreach(word IN LISTS MENTIONS)
  string(TOLOWER "${word}" lower_word)
  string(FIND "${lower_out}" "${lower_word}" at)
  if(at EQUAL -1)
    list(APPEND problems "standard output does not mention '${word}'")
  endif()
endforeach()
if(ONE_ERROR_LINE)
  # Qt's own warnings about the test's environment (no XDG_RUNTIME_DIR) are not the program's.
  string(REGEX REPLACE "QStandardPaths: [^\n]*\n" "" err "${err}")
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines lines)
  if(NOT out STREQUAL "" OR NOT lines EQUAL 1 OR NOT err MATCHES "\n$")
    list(APPEND problems "expected one line on standard error and nothing on standard output")
  endif()
  string(FIND "${err}" "${ERROR_MENTIONS}" at)
  if(at EQUAL -1)
    list(APPEND problems "standard error does not mention '${ERROR_MENTIONS}'")
  endif()
endif()
if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENTS}:\n  ${text}\nstdout:\n${out}\nstderr:\n${err}")
endif()
