# SPDX-License-Identifier: MIT
# zqlrc in the page (included by this folder's CMakeLists.txt): the same
# sources as the host's zqlrc, linked with the program (the build that reads
# the GB2312 table from its file) and the stand-in's core, as the module
# ZqLrc that the page's lyrics view and its fix call with zqlrc's command
# line. Two pieces differ from the host's: the decoders are the browser's
# (text_decoding_web.cpp), and the charset detector is ICU's own, compiled
# from the source of the ICU version the host links (icu_source.sh fetches it).
set(ZQ_ICU_SOURCE ${CMAKE_BINARY_DIR}/icu/icu/source CACHE PATH "ICU's source folder (icu/source)")
if(NOT EXISTS ${ZQ_ICU_SOURCE}/i18n/csdetect.cpp)
  execute_process(COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/icu_source.sh ${CMAKE_BINARY_DIR}/icu RESULT_VARIABLE icu_fetch)
  if(NOT icu_fetch EQUAL 0 OR NOT EXISTS ${ZQ_ICU_SOURCE}/i18n/csdetect.cpp)
    message(FATAL_ERROR "the page's zqlrc needs ICU's source: icu_source.sh could not fetch it into "
                        "${CMAKE_BINARY_DIR}/icu (or set ZQ_ICU_SOURCE to an ICU source folder of the host's version)")
  endif()
endif()
set(icu_detector_files i18n/csdetect.cpp i18n/csmatch.cpp i18n/csr2022.cpp i18n/csrecog.cpp i18n/csrmbcs.cpp
    i18n/csrsbcs.cpp i18n/csrucode.cpp i18n/csrutf8.cpp i18n/inputext.cpp i18n/ucsdet.cpp i18n/ucln_in.cpp
    common/cmemory.cpp common/uarrsort.cpp common/umutex.cpp common/uobject.cpp common/uenum.cpp common/ucln_cmn.cpp)
list(TRANSFORM icu_detector_files PREPEND ${ZQ_ICU_SOURCE}/)
add_library(zq_icu_detector OBJECT ${icu_detector_files})
target_include_directories(zq_icu_detector PUBLIC ${ZQ_ICU_SOURCE}/common ${ZQ_ICU_SOURCE}/i18n)
target_compile_definitions(zq_icu_detector PUBLIC U_I18N_IMPLEMENTATION U_COMMON_IMPLEMENTATION U_STATIC_IMPLEMENTATION)
# ICU's own code, as its authors wrote it: their warnings are not this project's.
target_compile_options(zq_icu_detector PRIVATE -w -Wno-error)

add_library(zq_lrc_program OBJECT ${program_sources})
target_include_directories(zq_lrc_program PRIVATE ${ZQ_ROOT})
target_compile_options(zq_lrc_program PRIVATE -ffreestanding -fno-threadsafe-statics -fno-stack-protector -fno-builtin
                                              -fno-use-cxa-atexit)

file(GLOB lrc_sim_sources CONFIGURE_DEPENDS ${ZQ_ROOT}/sim/*.cpp)
file(GLOB lrc_tool_sources CONFIGURE_DEPENDS ${ZQ_ROOT}/tools/zqlrc/*.cpp)
list(FILTER lrc_tool_sources EXCLUDE REGEX "/text_decoding\\.cpp$")
add_executable(zq_lrc ${lrc_tool_sources} ${lrc_sim_sources} ${ZQ_ROOT}/sim/web/port_web.cpp
               $<TARGET_OBJECTS:zq_lrc_program> $<TARGET_OBJECTS:zq_icu_detector>)
target_include_directories(zq_lrc PRIVATE ${ZQ_ROOT} ${ZQ_ROOT}/tools/zqlrc ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(zq_lrc PRIVATE zq_icu_detector)
target_compile_definitions(zq_lrc PRIVATE ZQLRC_DEFAULT_TABLE="/firmware/gb2uc.map" ZQLRC_PATCH_BUILD=0
                                          ZQ_UNIFONT_DIR="/unifont")
target_link_options(zq_lrc PRIVATE
  -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sINVOKE_RUN=0 -sEXIT_RUNTIME=0 -sFORCE_FILESYSTEM=1 -sMODULARIZE=1
  -sEXPORT_NAME=ZqLrc -sENVIRONMENT=web -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=FS,callMain --js-library ${ZQ_ROOT}/sim/web/image_loader.js)
set_target_properties(zq_lrc PROPERTIES SUFFIX ".js" LINK_DEPENDS ${ZQ_ROOT}/sim/web/image_loader.js)
