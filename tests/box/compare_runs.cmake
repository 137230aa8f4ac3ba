# Runs one program image the same way on the host and in the big-endian box
# and fails unless both print the same (standard output and errors) and end
# with the same exit code. The outputs are left in OUT.host and OUT.box.
# -DHOST= -DHOST_IMAGE= -DQEMU= -DBOX= -DBOX_IMAGE= -DROOT= -DMAP= -DSTART= -DOUT=
execute_process(COMMAND ${HOST} ${HOST_IMAGE} ${ROOT} ${MAP} ${START}
                OUTPUT_VARIABLE host_out ERROR_VARIABLE host_err RESULT_VARIABLE host_rc)
execute_process(COMMAND ${QEMU} -cpu arm926 ${BOX} ${BOX_IMAGE} ${ROOT} ${MAP} ${START}
                OUTPUT_VARIABLE box_out ERROR_VARIABLE box_err RESULT_VARIABLE box_rc)
file(WRITE ${OUT}.host "${host_out}${host_err}exit ${host_rc}\n")
file(WRITE ${OUT}.box "${box_out}${box_err}exit ${box_rc}\n")

if(NOT host_rc EQUAL 0 OR NOT host_out MATCHES "lyrics \"[^\"]" OR NOT host_out MATCHES " unload\n")
  message(FATAL_ERROR "the host run did not play lyrics through to the unload (exit ${host_rc}):\n"
                      "${host_out}${host_err}")
endif()
if(NOT box_rc EQUAL host_rc OR NOT box_out STREQUAL host_out OR NOT box_err STREQUAL host_err)
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u ${OUT}.host ${OUT}.box)
  endif()
  message(FATAL_ERROR "the big-endian box printed something else than the host (${OUT}.host, ${OUT}.box)")
endif()
string(REGEX MATCHALL "\n" lines "${host_out}")
list(LENGTH lines count)
message(STATUS "host and box agree on ${count} lines")
