# SPDX-License-Identifier: MIT
# Prints a phone image's size after it is linked, and fails when the image
# has constructors to run (the loader runs none). Run with -DIMAGE=<elf>
# -DREADELF=<arm-none-eabi-readelf>.
file(SIZE ${IMAGE} file_bytes)
execute_process(COMMAND ${READELF} -lW ${IMAGE} OUTPUT_VARIABLE segments RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read ${IMAGE}")
endif()
string(REGEX MATCH "LOAD +0x[0-9a-f]+ +0x[0-9a-f]+ +0x[0-9a-f]+ +(0x[0-9a-f]+) +(0x[0-9a-f]+)" load "${segments}")
math(EXPR loaded "${CMAKE_MATCH_2}" OUTPUT_FORMAT DECIMAL)
execute_process(COMMAND ${READELF} -SW ${IMAGE} OUTPUT_VARIABLE sections)
if(sections MATCHES "\\.init_array +[A-Z_]+ +[0-9a-f]+ +[0-9a-f]+ +0*[1-9a-f]")
  file(REMOVE ${IMAGE})
  message(FATAL_ERROR "${IMAGE} has a non-empty .init_array: static constructors are not allowed")
endif()
get_filename_component(name ${IMAGE} NAME)
message(STATUS "Phone image ${name}: ${file_bytes} bytes on file, ${loaded} bytes in memory")
