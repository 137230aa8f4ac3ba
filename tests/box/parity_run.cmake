# SPDX-License-Identifier: MIT
# One scenario with one build, on both front ends: zqsim --headless with the
# host image and zqbox with the phone image must print the same standard
# output and notes on stderr, and end with the same exit code. The script's
# header names what must be seen:
#   # folder: NAME     the folder played (see CMakeLists.txt)
#   # args: ...        more arguments for both (--until-end: no script)
#   # expect: TEXT     a text the trace holds ("\n" stands for a line's end)
#   # expect-err: TEXT a text the notes on stderr hold
# With GOLDEN, the trace must also be that file. The outputs are left in OUT.
# -DZQSIM= -DZQBOX= -DIMAGE= -DSCRIPT= -DFOLDER= -DOUT= [-DGOLDEN=] [-DFRONT=]
# FRONT names the other front end (zqbox, or zqweb with ZQBOX its path).
cmake_minimum_required(VERSION 3.25)
if(NOT FRONT)
  set(FRONT zqbox)
endif()
file(STRINGS ${SCRIPT} args_line ENCODING UTF-8 REGEX "^# args: ")
string(REPLACE "# args: " "" args "${args_line}")
separate_arguments(args UNIX_COMMAND "${args}")
set(script_args --script ${SCRIPT})
if("--until-end" IN_LIST args)
  set(script_args "")
endif()
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})

# Screenshots go into folders of their own, which start empty (F12 numbers
# its pictures on from those already there).
execute_process(COMMAND ${ZQSIM} --headless --image ${IMAGE} --shots ${OUT}/host-shots ${args} ${script_args} ${FOLDER}
                OUTPUT_VARIABLE host_out ERROR_VARIABLE host_err RESULT_VARIABLE host_rc)
execute_process(COMMAND ${ZQBOX} --headless --image ${IMAGE} --shots ${OUT}/box-shots ${args} ${script_args} ${FOLDER}
                OUTPUT_VARIABLE box_out ERROR_VARIABLE box_err RESULT_VARIABLE box_rc)
# The notes name their front end.
string(REPLACE "${FRONT}: " "zqsim: " box_err_as_host "${box_err}")
file(WRITE ${OUT}/host.out "${host_out}")
file(WRITE ${OUT}/box.out "${box_out}")
file(WRITE ${OUT}/host.err "${host_err}exit ${host_rc}\n")
file(WRITE ${OUT}/box.err "${box_err_as_host}exit ${box_rc}\n")

set(problems "")
if(NOT host_rc EQUAL 0)
  string(APPEND problems "zqsim ended with ${host_rc}: ${host_err}\n")
endif()
file(STRINGS ${SCRIPT} expects ENCODING UTF-8 REGEX "^# expect: ")
foreach(e IN LISTS expects)
  string(REPLACE "# expect: " "" text "${e}")
  string(REPLACE "\\n" "\n" text "${text}")
  string(FIND "${host_out}" "${text}" at)
  if(at EQUAL -1)
    string(APPEND problems "the trace lacks \"${text}\"\n")
  endif()
endforeach()
file(STRINGS ${SCRIPT} expects ENCODING UTF-8 REGEX "^# expect-err: ")
foreach(e IN LISTS expects)
  string(REPLACE "# expect-err: " "" text "${e}")
  string(FIND "${host_err}" "${text}" at)
  if(at EQUAL -1)
    string(APPEND problems "the notes lack \"${text}\"\n")
  endif()
endforeach()
if(GOLDEN)
  file(READ ${GOLDEN} golden_text)
  if(NOT host_out STREQUAL golden_text)
    string(APPEND problems "zqsim's trace is not ${GOLDEN}\n")
  endif()
endif()
if(NOT box_rc EQUAL host_rc OR NOT box_out STREQUAL host_out OR NOT box_err_as_host STREQUAL host_err)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${OUT}/host.out ${OUT}/box.out)
    execute_process(COMMAND ${DIFF} -u ${OUT}/host.err ${OUT}/box.err)
  endif()
  string(APPEND problems "${FRONT} printed something else than zqsim (${OUT})\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
string(REGEX MATCHALL "\n" lines "${host_out}")
list(LENGTH lines count)
message(STATUS "zqsim and ${FRONT} agree on ${count} lines")
