# SPDX-License-Identifier: MIT
# Writes the release archive for phone owners:
#   cmake -DVERSION=1.5.0 -DIMAGES="a.elf;b.elf;..." -DMAP=gb2uc.map
#         -DDOCS="zq-player.html;INSTALL.md;INSTALL.zh-CN.md;LICENSE;THIRD_PARTY.md" -DOUT=dist/zq-player-1.5.0.zip
#         -P release_archive.cmake
# The zip holds one folder, zq-player-<VERSION>/, with the images as built,
# the GB2312 table, the documents (the page, the guides, the licence and what
# the project uses from others) and SHA256SUMS (in the form `sha256sum -c`
# reads). Nothing is written when a file is missing.
foreach(var VERSION IMAGES MAP DOCS OUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "release_archive: ${var} is not given")
  endif()
endforeach()
foreach(file IN LISTS IMAGES MAP DOCS)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "release_archive: ${file} does not exist (build the phone images, gb2uc.map and the page first)")
  endif()
endforeach()

set(name zq-player-${VERSION})
get_filename_component(out "${OUT}" ABSOLUTE)
get_filename_component(out_dir "${out}" DIRECTORY)
set(stage "${out_dir}/.${name}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/${name}")

set(sums "")
set(names "")
foreach(file IN LISTS IMAGES MAP DOCS)
  get_filename_component(base "${file}" NAME)
  file(COPY_FILE "${file}" "${stage}/${name}/${base}" ONLY_IF_DIFFERENT)
  list(APPEND names "${base}")
endforeach()
list(SORT names)
foreach(base IN LISTS names)
  file(SHA256 "${stage}/${name}/${base}" sum)
  string(APPEND sums "${sum}  ${base}\n")
endforeach()
file(WRITE "${stage}/${name}/SHA256SUMS" "${sums}")

# Written beside the target and renamed, so that a failed run leaves no
# half archive under the final name.
file(REMOVE "${out}.part")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${out}.part" --format=zip "${name}"
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE failed)
file(REMOVE_RECURSE "${stage}")
if(failed)
  file(REMOVE "${out}.part")
  message(FATAL_ERROR "release_archive: cannot write ${out}")
endif()
file(RENAME "${out}.part" "${out}")
message(STATUS "Wrote ${out}")
