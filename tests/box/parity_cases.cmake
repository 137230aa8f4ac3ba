# SPDX-License-Identifier: MIT
# The parity scenarios that every front end must print alike (the box's and
# the page's suites): their folders, made under the build, and the list
# `cases` of "name|script|folder|golden trace prefix or empty".
set(ZQ_PARITY_DIR ${PROJECT_SOURCE_DIR}/tests/box)
# The scenarios' folders: tracks linked from the test data, lyrics from
# parity/lrc. zqsim and zqbox gather lyrics from a folder's lrc/ folder.
set(data ${PROJECT_SOURCE_DIR}/tests/zqsim/data)
set(lrc ${ZQ_PARITY_DIR}/parity/lrc)
set(folders ${CMAKE_BINARY_DIR}/tests/parity_folders)
set(parity_links
  "enc/enc_gb2312.mp3|${data}/tone_2500ms.mp3"
  "enc/enc_utf16be.m4a|${data}/tone_2500ms.m4a"
  "enc/enc_utf16le.mp3|${data}/tone_2500ms.mp3"
  "enc/enc_utf8.m4a|${data}/tone_2500ms.m4a"
  "status/s1_error.mp3|${data}/tone_2500ms.mp3"
  "status/s2_no_text.m4a|${data}/tone_2500ms.m4a"
  "status/s3_no_file.mp3|${data}/tone_2500ms.mp3"
  "status/s4_encrypted.m4a|${data}/tone_2500ms.m4a"
  "status/s5_memory.mp3|${data}/tone_2500ms.mp3"
  "short/a.mp3|${data}/tone_2500ms.mp3"
  "short/b.m4a|${data}/tone_2500ms.m4a"
  "short/c_春晓.mp3|${data}/tone_2500ms.mp3"
  "broken/b1_good.mp3|${data}/tone_2500ms.mp3"
  "broken/b2_not_audio.mp3|${data}/not_audio.mp3"
  "broken/b4_good.m4a|${data}/tone_2500ms.m4a"
  "forms/forms_a.mp3|${PROJECT_SOURCE_DIR}/demo/01_jingyesi.mp3"
  "forms/forms_b.m4a|${data}/tone_2500ms.m4a")
file(GLOB lyrics_files ${lrc}/*)
foreach(f IN LISTS lyrics_files)
  get_filename_component(name ${f} NAME)
  string(REGEX MATCH "^[a-z]+" prefix ${name})
  set(folder ${prefix})
  if(prefix STREQUAL "s")
    set(folder status)
  endif()
  list(APPEND parity_links "${folder}/lrc/${name}|${f}")
endforeach()
# The random scripts play a folder of every kind of track and lyrics file.
foreach(link IN LISTS parity_links)
  string(REGEX REPLACE "^[a-z]+/" "mixed/" mixed "${link}")
  list(APPEND parity_links "${mixed}")
endforeach()
foreach(link IN LISTS parity_links)
  string(REPLACE "|" ";" parts ${link})
  list(GET parts 0 name)
  list(GET parts 1 target)
  get_filename_component(dir ${folders}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${target} ${folders}/${name} SYMBOLIC)
endforeach()
file(WRITE ${folders}/broken/b3_empty.m4a "")
file(WRITE ${folders}/mixed/b3_empty.m4a "")

file(GLOB scenario_scripts CONFIGURE_DEPENDS ${ZQ_PARITY_DIR}/parity/*.script)
set(cases "")
foreach(script IN LISTS scenario_scripts)
  get_filename_component(name ${script} NAME_WE)
  file(STRINGS ${script} folder_line REGEX "^# folder: ")
  string(REPLACE "# folder: " "" folder "${folder_line}")
  if(folder STREQUAL "demo")
    set(folder ${PROJECT_SOURCE_DIR}/demo)
  else()
    set(folder ${folders}/${folder})
  endif()
  list(APPEND cases "${name}|${script}|${folder}|")
endforeach()
# The headless end-to-end run with golden traces (tests/zqsim).
list(APPEND cases
  "demo_keys|${PROJECT_SOURCE_DIR}/tests/zqsim/scripts/demo_keys.script|${PROJECT_SOURCE_DIR}/demo|${PROJECT_SOURCE_DIR}/tests/zqsim/expected/demo_keys")
